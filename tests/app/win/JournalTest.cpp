// The FTP log pane: labels, masking, colours, order of lines from another
// thread, scrolling stopped, clearing, and a text well past the rich edit's
// default limit.
#include <richedit.h>

#include <thread>

#include "AppWinTestSupport.h"

namespace {

using namespace apptest;

class JournalTest : public AppFixture {
protected:
  void SetUp() override {
    AppFixture::SetUp();
    Demarre({});  // no parameter: no connection
    ChargeLangue(u"US");
  }
  HWND Pane() { return Main->meLog->Handle(); }
  // The colour of the character at Position.
  COLORREF Couleur(LONG Position) {
    CHARRANGE r{Position, Position + 1};
    ::SendMessageW(Pane(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_COLOR;
    ::SendMessageW(Pane(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf.crTextColor;
  }
  LONG Debut(int Ligne) { return static_cast<LONG>(::SendMessageW(Pane(), EM_LINEINDEX, Ligne, 0)); }
};

TEST_F(JournalTest, LinesAreLabelledMaskedAndColouredByKind) {
  struct Cas {
    bool reponse;
    const char16_t* texte;
    const char16_t* ligne;
  };
  const Cas cas[] = {
      {true, u"220 Welcome", u"Answer:\t220 Welcome"},
      {false, u"PASS secret", u"Command:\tPASS ******"},
      {false, u"PASS ", u"Command:\tPASS "},
      {false, u"pass secret", u"Command:\tpass secret"},
      {true, u"", u"Answer:\t"},
      {false, u"USER bob", u"Command:\tUSER bob"},
  };
  // Whatever the user selected before, each line gets its own colour.
  for (const Cas& c : cas) {
    ::SendMessageW(Pane(), EM_SETSEL, 0, -1);
    Main->OnStatus(nullptr, c.reponse, c.texte);
  }
  const std::vector<String> lignes = LignesLog();
  ASSERT_EQ(lignes.size(), std::size(cas));
  for (std::size_t i = 0; i < std::size(cas); ++i) {
    EXPECT_EQ(lignes[i], cas[i].ligne) << i;
    EXPECT_EQ(Couleur(Debut(static_cast<int>(i))), cas[i].reponse ? 0x008000u : 0x800000u) << i;
  }
  // The first line has no line break before it.
  EXPECT_EQ(Main->meLog->Text().rfind(u"Answer:", 0), 0u);
}

TEST_F(JournalTest, LinesFromAWorkerArriveInOrderInBatches) {
  constexpr int kLignes = 3000;
  std::thread worker([this] {
    for (int i = 0; i < kLignes; ++i) Main->OnStatus(nullptr, i % 2 == 0, u"line " + IntToStr(i));
  });
  worker.join();
  // The worker never waited for the screen: everything is still queued or
  // on its way in a few posted batches.
  ASSERT_TRUE(Pump([&] { return Main->Journal().NombreLignes() == kLignes; }, 20000));
  const std::vector<String> lignes = LignesLog();
  ASSERT_EQ(lignes.size(), static_cast<std::size_t>(kLignes));
  for (int i = 0; i < kLignes; ++i)
    ASSERT_EQ(lignes[i], (i % 2 == 0 ? u"Answer:\tline " : u"Command:\tline ") + IntToStr(i)) << i;
  // A line of the user-interface thread comes after what was queued before it.
  std::thread encore([this] { Main->OnStatus(nullptr, true, u"queued"); });
  encore.join();
  Main->OnStatus(nullptr, false, u"NOOP");
  const std::vector<String> fin = LignesLog();
  ASSERT_GE(fin.size(), 2u);
  EXPECT_EQ(fin[fin.size() - 2], u"Answer:\tqueued");
  EXPECT_EQ(fin.back(), u"Command:\tNOOP");
}

TEST_F(JournalTest, StoppedScrollingKeepsTheCaretAndClearEmptiesThePane) {
  for (int i = 0; i < 50; ++i) Main->OnStatus(nullptr, true, u"first " + IntToStr(i));
  // Every line posts its scroll to the bottom: all of them are served
  // before scrolling stops (a fixed pause was too short on a loaded machine).
  ASSERT_TRUE(Pump([this] {
    MSG m;
    return !::PeekMessageW(&m, Pane(), WM_VSCROLL, WM_VSCROLL, PM_NOREMOVE);
  }));
  PumpMessagesFor(100);
  Main->mStopScrollClick(nullptr);
  EXPECT_TRUE(Main->mStopScroll->Checked());
  ::SendMessageW(Pane(), EM_SETSEL, 5, 5);
  ::SendMessageW(Pane(), EM_SCROLLCARET, 0, 0);
  const LRESULT vue = ::SendMessageW(Pane(), EM_GETFIRSTVISIBLELINE, 0, 0);
  for (int i = 0; i < 50; ++i) Main->OnStatus(nullptr, false, u"more " + IntToStr(i));
  PumpMessagesFor(100);
  CHARRANGE r{};
  ::SendMessageW(Pane(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.cpMin, 5);
  EXPECT_EQ(r.cpMax, 5);
  EXPECT_EQ(::SendMessageW(Pane(), EM_GETFIRSTVISIBLELINE, 0, 0), vue);
  EXPECT_EQ(LignesLog().size(), 100u);

  Main->mClearLogClick(nullptr);
  EXPECT_TRUE(Main->meLog->Text().empty());
  Main->OnStatus(nullptr, true, u"after");
  EXPECT_EQ(Main->meLog->Text(), u"Answer:\tafter");
}

// Lines longer than the pane is wide: the view shows their start (nothing
// cut on the left) and follows the last line, batch after batch, from the
// user-interface thread and from a worker alike.
TEST_F(JournalTest, TheViewShowsTheStartOfLongLinesAndFollowsTheLast) {
  auto Suivi = [this](const char* Quand) {
    SCOPED_TRACE(Quand);
    ASSERT_TRUE(Pump([this] {
      MSG m;
      return Main->Journal().EnAttente() == 0 && !::PeekMessageW(&m, Pane(), WM_VSCROLL, WM_HSCROLL, PM_NOREMOVE);
    }));
    PumpMessagesFor(100);
    RECT client{};
    ::GetClientRect(Pane(), &client);
    const int derniere = static_cast<int>(::SendMessageW(Pane(), EM_GETLINECOUNT, 0, 0)) - 1;
    POINTL debut{};
    ::SendMessageW(Pane(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&debut), Debut(derniere));
    EXPECT_GE(debut.x, 0) << "the last line's start is scrolled out on the left";
    EXPECT_LT(debut.x, 10);
    EXPECT_GE(debut.y, 0);
    EXPECT_LT(debut.y, client.bottom) << "the last line is not in view";
  };
  const String longue = u"START " + String(400, u'x') + u" END";
  for (int i = 0; i < 30; ++i) Main->OnStatus(nullptr, i % 2 == 0, IntToStr(i) + u" " + longue);
  Suivi("lines of the user-interface thread");
  std::thread worker([&] {
    for (int i = 0; i < 30; ++i) Main->OnStatus(nullptr, true, longue);
  });
  worker.join();
  Suivi("a worker's batch");
  Capture(Main, DossierCaptures(), "log_long_lines");
}

TEST_F(JournalTest, TheLogHoldsFarMoreThanTheDefaultLimit) {
  // Few long lines: each append on the window's thread costs the same
  // whatever its length, and the limit is about characters.
  const String longue(1800, u'x');
  for (int i = 0; i < 120; ++i) Main->OnStatus(nullptr, true, longue);
  EXPECT_GT(Main->meLog->GetTextLen(), 200000);
  EXPECT_EQ(LignesLog().size(), 120u);
}

}  // namespace
