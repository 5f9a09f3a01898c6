// Printing a tree onto a "printer" whose pages are bitmaps: pages tile the
// tree's picture (header on top), a picture exactly so many pages high
// takes no blank page, a failure gives back the tree's colour and font,
// and the tree is painted in bounded bands, not as one huge picture. The
// pages of a printed demo tree are saved for people to look at.
#include <gtest/gtest.h>

#include "rtl/Win32.h"
// After the Windows header it needs.
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/MessagePump_win.h"
#include "treeview/VastTreeControl_win.h"
#include "vcl/Forms.h"
#include "vcl/Printers.h"

namespace {

// A printer whose device is one bitmap per page, at a resolution of its
// own. Keeps the first KeepPages pages and counts them all.
class TPagePrinter : public TPrinter {
public:
  TPagePrinter(Integer Width, Integer Height, Integer Dpi, size_t KeepPages = 64)
      : FWidth(Width), FHeight(Height), FDpi(Dpi), FKeep(KeepPages) {}
  Integer PageWidth() const override { return FWidth; }
  Integer PageHeight() const override { return FHeight; }
  Integer PixelsPerInch() const override { return FDpi; }

  std::vector<std::unique_ptr<TBitmap>> Pages;
  Integer PagesPrinted = 0;
  bool Ended = false;
  bool Aborted = false;
  // Raise when this page (1-based) starts; 0: never.
  Integer FailAtPage = 0;
  // Raise when a page ends.
  bool FailEndPage = false;
  // The process's private bytes, sampled at every page end.
  std::function<void()> OnPageEnd;

protected:
  HDC DeviceContext() const override { return FPage ? FPage->Canvas()->Handle() : nullptr; }
  void StartDocument() override {}
  void StartPage() override {
    if (FailAtPage > 0 && PagesPrinted + 1 == FailAtPage) throw EPrinter(u"Paper jam");
    FPage = std::make_unique<TBitmap>(FWidth, FHeight);
    FPage->Canvas()->Brush()->SetColor(clWhite);
    FPage->Canvas()->FillRect(TRect{0, 0, FWidth, FHeight});
  }
  void EndPage() override {
    if (FailEndPage) throw EPrinter(u"Out of paper");
    ++PagesPrinted;
    if (OnPageEnd) OnPageEnd();
    if (Pages.size() < FKeep) Pages.push_back(std::move(FPage));
    FPage.reset();
  }
  void EndDocument() override { Ended = true; }
  void AbortDocument() override {
    Aborted = true;
    FPage.reset();
  }

private:
  Integer FWidth, FHeight, FDpi;
  size_t FKeep;
  std::unique_ptr<TBitmap> FPage;
};

int64_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS Counters{};
  Counters.cb = sizeof(Counters);
  K32GetProcessMemoryInfo(GetCurrentProcess(), &Counters, sizeof(Counters));
  return static_cast<int64_t>(Counters.PagefileUsage);
}

// Node I of the top level paints its cells in CellColor(I) (column 0) and
// a darker shade (column 1), so a page's pixels tell which cell they show.
TColor CellColor(Cardinal Index, TColumnIndex Column) {
  const Byte V = static_cast<Byte>(40 + (Index * 37) % 200);
  return Column <= 0 ? RGBToColor(V, 0xC0, 0x40) : RGBToColor(V / 2, 0x40, 0xC0);
}

class TPrintForm : public TForm {
public:
  explicit TPrintForm(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"PrintForm");
    SetCaption(u"Quorvel tree print");
    SetClientSize(320, 300);  // narrower than the columns: the tree is 400 wide
    Tree = new TVastStringTree(this);
    Tree->SetName(u"Tree");
    Tree->SetAlign(alClient);
    TVTHeader& H = Tree->Header();
    const struct {
      const char16_t* Text;
      Integer Width;
    } Columns[] = {{u"Name", 250}, {u"Size", 150}};
    for (const auto& C : Columns) {
      TVastTreeColumn* Column = H.Columns().Add();
      Column->SetText(C.Text);
      Column->SetWidth(C.Width);
    }
    H.SetMainColumn(0);
    H.SetHeight(24);
    H.SetOptions(H.Options() + TVTHeaderOptions{hoVisible});
    TCustomVastTreeOptions& O = Tree->TreeOptions();
    O.SetAutoOptions(O.AutoOptions() - TVTAutoOptions{toAutoSort, toAutoChangeScale});
    O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toShowHorzGridLines, toShowVertGridLines});
    Tree->SetDefaultNodeHeight(18);
    Tree->OnGetText = [](TBaseVastTree*, PVastNode Node, TColumnIndex Column, TVSTTextType, String& Text) {
      const std::string S =
          Column <= 0 ? "Node " + std::to_string(Node->Index) : std::to_string(Node->Index * 512) + " KB";
      Text.assign(S.begin(), S.end());
    };
    Tree->SetParent(this);
  }
  // Cells filled in their colours (the texts stay on top).
  void PaintCellColors() {
    Tree->OnBeforeCellPaint = [](TBaseVastTree*, TCanvas* C, PVastNode Node, TColumnIndex Column, TVTCellPaintMode Mode,
                                 TRect CellRect, TRect&) {
      if (Mode != cpmPaint) return;
      C->Brush()->SetColor(CellColor(Node->Index, Column));
      C->FillRect(CellRect);
    };
  }
  TVastStringTree* Tree;
};

class TTreePrintTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Form.reset(TCustomForm::Create<TPrintForm>(Application));
    Tree = Form->Tree;
    Form->Show();
    testsupport::PumpMessagesFor(40);
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  struct TFormDeleter {
    void operator()(TCustomForm* F) const { delete F; }
  };
  std::unique_ptr<TPrintForm, TFormDeleter> Form;
  TVastStringTree* Tree = nullptr;
};

TEST_F(TTreePrintTest, PagesTileThePictureAndAnExactMultipleTakesNoBlankPage) {
  Form->PaintCellColors();
  Tree->SetRootNodeCount(20);  // 360 pixels high, 400 wide
  ASSERT_EQ(Tree->GetTreeRect().Height(), 360);
  ASSERT_EQ(Tree->GetTreeRect().Width(), 400);
  const struct {
    Integer PageHeight;
    Integer Pages;
  } Cases[] = {{180, 4}, {120, 6}, {200, 4}, {360, 2}, {400, 2}};
  for (const auto& Case : Cases) {
    TPagePrinter Printer(300, Case.PageHeight, 96);
    Tree->Print(&Printer, false);
    EXPECT_EQ(Printer.PagesPrinted, Case.Pages) << Case.PageHeight;
    EXPECT_TRUE(Printer.Ended);
  }
  // Row by row, left to right: page 1 shows node 0's first column at its
  // top, page 2 the rest of node 0's row (the second column), page 3 node
  // 10 (at 180 pixels) again from the left.
  TPagePrinter Printer(300, 180, 96);
  Tree->Print(&Printer, false);
  ASSERT_EQ(Printer.Pages.size(), 4u);
  EXPECT_EQ(Printer.Pages[0]->Canvas()->Pixel(5, 9), ColorToRGB(CellColor(0, 0)));
  EXPECT_EQ(Printer.Pages[0]->Canvas()->Pixel(5, 18 * 9 + 9), ColorToRGB(CellColor(9, 0)));
  EXPECT_EQ(Printer.Pages[1]->Canvas()->Pixel(400 - 300 - 20, 9), ColorToRGB(CellColor(0, 1)));
  EXPECT_EQ(Printer.Pages[2]->Canvas()->Pixel(5, 9), ColorToRGB(CellColor(10, 0)));
  // Beyond the tree's right end a page stays white.
  EXPECT_EQ(Printer.Pages[3]->Canvas()->Pixel(150, 9), ColorToRGB(clWhite));
}

TEST_F(TTreePrintTest, TheHeaderGoesOnTopOnlyWhenAsked) {
  Form->PaintCellColors();
  Tree->SetRootNodeCount(3);
  TPagePrinter With(400, 300, 96), Without(400, 300, 96);
  Tree->Print(&With, true);
  Tree->Print(&Without, false);
  ASSERT_EQ(With.Pages.size(), 1u);
  ASSERT_EQ(Without.Pages.size(), 1u);
  TCanvas* W = With.Pages[0]->Canvas();
  TCanvas* WO = Without.Pages[0]->Canvas();
  EXPECT_NE(W->Pixel(5, 9), ColorToRGB(CellColor(0, 0)));  // a head there
  EXPECT_EQ(W->Pixel(5, 24 + 9), ColorToRGB(CellColor(0, 0)));
  EXPECT_EQ(W->Pixel(5, 24 + 18 + 9), ColorToRGB(CellColor(1, 0)));
  EXPECT_EQ(WO->Pixel(5, 9), ColorToRGB(CellColor(0, 0)));
  EXPECT_EQ(WO->Pixel(5, 18 + 9), ColorToRGB(CellColor(1, 0)));
}

TEST_F(TTreePrintTest, AFailureGivesBackTheColourTheFontAndTheUpdate) {
  Tree->SetRootNodeCount(40);
  Tree->SetColor(RGBToColor(0xF0, 0xF0, 0xD0));
  Tree->Font()->SetName(u"Liberation Serif");
  const TColor Color = Tree->Color();
  const Integer Height = Tree->Font()->Height();
  struct TCase {
    const char* What;
    Integer FailAtPage;
    bool FailInPaint;
  } Cases[] = {{"the second page cannot start", 2, false}, {"a paint handler raises", 0, true}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.What);
    TPagePrinter Printer(300, 200, 96);
    Printer.FailAtPage = Case.FailAtPage;
    if (Case.FailInPaint)
      Tree->OnBeforeCellPaint = [](TBaseVastTree*, TCanvas*, PVastNode Node, TColumnIndex, TVTCellPaintMode, TRect,
                                   TRect&) {
        if (Node->Index == 20) throw EInvalidOperation(u"cell failed");
      };
    EXPECT_ANY_THROW(Tree->Print(&Printer, true));
    Tree->OnBeforeCellPaint = nullptr;
    EXPECT_TRUE(Printer.Aborted);
    EXPECT_FALSE(Printer.Printing());
    EXPECT_EQ(Tree->Color(), Color);
    EXPECT_EQ(Tree->Font()->Name(), u"Liberation Serif");
    EXPECT_EQ(Tree->Font()->Height(), Height);
    EXPECT_EQ(Tree->Font()->Quality(), fqDefault);
    EXPECT_EQ(Tree->UpdateCount(), 0u);
  }
  // And a print that works leaves them as they were too.
  TPagePrinter Printer(300, 200, 96);
  Tree->Print(&Printer, true);
  EXPECT_EQ(Tree->Color(), Color);
  EXPECT_EQ(Tree->Font()->Quality(), fqDefault);
}

TEST_F(TTreePrintTest, ATallTreeIsPaintedInBoundedBands) {
  // 5,000 rows: one picture of the whole tree would take 400 x 90,000 x 4
  // bytes (about 140 MB) while the pages print.
  Tree->SetRootNodeCount(5000);
  ASSERT_EQ(Tree->GetTreeRect().Height(), 90000);
  TPagePrinter Printer(400, 12000, 96, 0);
  int64_t Baseline = 0, Peak = 0;
  Printer.OnPageEnd = [&] { Peak = std::max(Peak, PrivateBytes()); };
  Baseline = PrivateBytes();
  Tree->Print(&Printer, false);
  EXPECT_EQ(Printer.PagesPrinted, 8);
  ASSERT_GT(Peak, 0);
  // The printer's own page (about 19 MB) and a band of at most 16 MB.
  EXPECT_LT(Peak - Baseline, int64_t{64} * 1024 * 1024);
}

TEST_F(TTreePrintTest, PagesOfADemoTreeAtAPrintersResolution) {
  Tree->SetRootNodeCount(60);
  PVastNode Selected = Tree->GetFirst();
  for (int I = 0; I < 3; ++I) Selected = Tree->GetNextSibling(Selected);
  Tree->SetSelected(Selected, true);
  Tree->SetFocusedNode(Selected);
  // 144 dots per inch: the print is half again as large as the screen.
  TPagePrinter Printer(420, 600, 144);
  Tree->Print(&Printer, true);
  // About 280 x 400 pixels of the tree a page: 2 pages across the 400
  // pixels, 3 down the 1,104 (header and 60 rows).
  EXPECT_EQ(Printer.Pages.size(), 6u);
  // The selected node prints without its selection mark: no page shows
  // the selection colours.
  const TColor Marks[] = {ColorToRGB(Tree->Colors().FocusedSelectionColor()),
                          ColorToRGB(Tree->Colors().UnfocusedSelectionColor())};
  Integer Marked = 0;
  for (const auto& Page : Printer.Pages)
    for (Integer Y = 0; Y < Page->Height(); Y += 2)
      for (Integer X = 0; X < Page->Width(); X += 2) {
        const TColor C = Page->Canvas()->Pixel(X, Y);
        Marked += C == Marks[0] || C == Marks[1];
      }
  EXPECT_EQ(Marked, 0);
  for (size_t I = 0; I < Printer.Pages.size(); ++I) {
    const std::string Name = "treeprint_page" + std::to_string(I + 1) + ".bmp";
    Printer.Pages[I]->SaveToFile(String(Name.begin(), Name.end()));
  }
}

// A last page that fails to end abandons the job: it is neither left open
// nor reported as ended.
TEST(TreePrinter, AFailedLastPageAbortsTheJob) {
  TPagePrinter Printer(200, 300, 96);
  Printer.BeginDoc();
  Printer.FailEndPage = true;
  EXPECT_THROW(Printer.EndDoc(), EPrinter);
  EXPECT_TRUE(Printer.Aborted);
  EXPECT_FALSE(Printer.Ended);
  EXPECT_FALSE(Printer.Printing());
}

}  // namespace
