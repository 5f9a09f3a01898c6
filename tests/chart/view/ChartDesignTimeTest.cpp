// The view in a form being designed: sample content at its first window,
// the helper box (drawn, hit-tested, clicked) and its confirmation, which a
// second thread answers on the real message box; and a view made at run
// time, which gets none of it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "ChartViewTestSupport.h"
#include "chart/view/VivIzudeViewGDIP.h"
#include "rtl/DateUtils.h"

using namespace chartview_test;

namespace {

// A form as a designer holds it: what it owns is designed too.
struct TDesignedForm : TForm {
  using TForm::TForm;
  void Design() {
    TComponentState S = ComponentState();
    S.Include(csDesigning);
    SetComponentState(S);
  }
};

// Answers the next message box of this thread with Answer (IDYES, IDNO),
// waiting for it at most TimeoutMs; keeps the question it read.
class TMessageBoxAnswerer {
public:
  TMessageBoxAnswerer(int Answer, int TimeoutMs) : FThreadId(GetCurrentThreadId()) {
    FWorker = std::thread([this, Answer, TimeoutMs] {
      const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
      while (std::chrono::steady_clock::now() < End) {
        if (HWND Box = FindBox()) {
          wchar_t Text[256] = {};
          GetDlgItemTextW(Box, 0xFFFF, Text, 256);
          FQuestion = String(reinterpret_cast<const Char*>(Text));
          FHadYesNo = GetDlgItem(Box, IDYES) && GetDlgItem(Box, IDNO);
          PostMessageW(Box, WM_COMMAND, MAKEWPARAM(Answer, BN_CLICKED), LPARAM(GetDlgItem(Box, Answer)));
          FAsked = true;
          return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    });
  }
  ~TMessageBoxAnswerer() { Join(); }
  void Join() {
    if (FWorker.joinable()) FWorker.join();
  }
  bool Asked() {
    Join();
    return FAsked;
  }
  String Question() {
    Join();
    return FQuestion;
  }
  bool HadYesNo() {
    Join();
    return FHadYesNo;
  }

private:
  static BOOL CALLBACK TakeBox(HWND Wnd, LPARAM Param) {
    wchar_t Class[32] = {};
    GetClassNameW(Wnd, Class, 32);
    if (std::wstring(Class) != L"#32770" || !IsWindowVisible(Wnd)) return TRUE;
    *reinterpret_cast<HWND*>(Param) = Wnd;
    return FALSE;
  }
  HWND FindBox() const {
    HWND Found = nullptr;
    EnumThreadWindows(FThreadId, &TakeBox, LPARAM(&Found));
    return Found;
  }
  DWORD FThreadId;
  std::thread FWorker;
  std::atomic<bool> FAsked{false};
  String FQuestion;
  bool FHadYesNo = false;
};

const String DeleteQuestion = u"Are you sure you want to delete all panes / series?";

struct ChartDesignTimeTest : ::testing::Test {
  void SetUp() override {
    Application->Initialize();
    Form.reset(TCustomForm::Create<TDesignedForm>(Application));
    Form->SetClientWidth(560);
    Form->SetClientHeight(380);
  }
  void TearDown() override {
    Form.reset();
    Application->ProcessMessages();
  }
  TVivGDIPChartView* ShowView() {
    auto* View = new TVivGDIPChartView(Form.get());
    View->SetParent(Form.get());
    View->SetAlign(alClient);
    Form->Show();
    Application->ProcessMessages();
    return View;
  }
  std::unique_ptr<TBitmap> Snapshot(TVivGDIPChartView& View) {
    auto B = std::make_unique<TBitmap>(View.Width(), View.Height());
    B->SetPixelFormat(pf24bit);
    View.PaintTo(B->Canvas()->Handle(), 0, 0);
    return B;
  }
  void Save(TBitmap& Picture, const std::string& Name) {
    const String File = String(Name.begin(), Name.end()) + u".png";
    SaveBitmapToImage(Picture.Handle(), File, itPNG, 100);
    RecordProperty(Name, Narrow(FullPath(File)));
  }
  // The helper font's line height, as the view measures it.
  static Integer HelperLineHeight() {
    TBitmap B(1, 1);
    B.Canvas()->Font()->SetName(u"Tahoma");
    B.Canvas()->Font()->SetSize(8);
    return B.Canvas()->TextHeight(u"gh");
  }
  static void Click(TVivGDIPChartView& View, Integer X, Integer Y) {
    SendMessageW(View.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(X, Y));
    SendMessageW(View.Handle(), WM_LBUTTONUP, 0, PointToLParam(X, Y));
    Application->ProcessMessages();
  }
  static std::vector<double> XValues(TChartSerie& S) {
    std::vector<double> Xs;
    for (Integer I = 0; I < S.GetPointsCount(); ++I) Xs.push_back(S.GetPoint(I).SingleXValue);
    return Xs;
  }
  static void ExpectSampleValues(TChartSerie& S) {
    for (Integer I = 0; I < S.GetPointsCount(); ++I) {
      const double Y = S.GetPoint(I).SingleValue;
      EXPECT_TRUE(Y >= 1 && Y <= 10 && Y == std::floor(Y)) << Y;
    }
  }
  std::unique_ptr<TDesignedForm, TFormDeleter> Form;
};

int CountNear(TBitmap& B, TColor C, Integer Tolerance) {
  int N = 0;
  for (Integer Y = 0; Y < B.Height(); ++Y)
    for (Integer X = 0; X < B.Width(); ++X) {
      const TColor P = B.Canvas()->Pixel(X, Y);
      if (std::abs(RedOf(P) - RedOf(C)) <= Tolerance && std::abs(GreenOf(P) - GreenOf(C)) <= Tolerance &&
          std::abs(BlueOf(P) - BlueOf(C)) <= Tolerance)
        ++N;
    }
  return N;
}

const std::vector<double> RenewedXs{0.5, 1.5, 1.8, 2.8, 3.4, 4.8};

}  // namespace

TEST_F(ChartDesignTimeTest, ADesignedViewShowsSampleContentAndTheHelperBox) {
  Form->Design();
  const TDateTime Before = Now();
  TVivGDIPChartView* View = ShowView();
  ASSERT_TRUE(View->DesignTime());
  EXPECT_TRUE(View->Constructed());
  ASSERT_EQ(View->Panes().Count(), 1);
  TVivGDIPChartPane& P = *View->Panes().Items(0);
  EXPECT_EQ(P.Title().Text(), u"TVivIzudeView");
  EXPECT_EQ(P.XAxis().Text(), u"X-axis");
  EXPECT_EQ(P.YAxis().Text(), u"Y-axis");
  EXPECT_EQ(View->Color(), TColor(0xFFFFFF));
  EXPECT_EQ(P.Range().RangeFrom(), 0);
  EXPECT_EQ(P.Range().RangeTo(), 5);
  EXPECT_GE(P.Range().StartDate(), Before - 1.0 / 86400);
  ASSERT_EQ(P.Series().Count(), 3);
  const TColor Colors[] = {0x0055FF, 0xCF8300, 0x66BA82};
  for (Integer I = 0; I < 3; ++I) {
    TChartSerie& S = P.Series().Items(I);
    SCOPED_TRACE(I);
    EXPECT_EQ(S.Color(), Colors[I]);
    EXPECT_EQ(S.ChartType(), ctLine);
    EXPECT_EQ(S.Marker().MarkerType(), mCircle);
    EXPECT_EQ(S.Marker().SelectedSize(), S.Marker().MarkerSize() + 5);
    EXPECT_EQ(S.YAxis().Visible(), I == 0);
    // The window's creation renewed every serie's points at the same X values.
    EXPECT_EQ(XValues(S), RenewedXs);
    ExpectSampleValues(S);
  }
  // A pane added while designing starts its range now too.
  EXPECT_GE(View->Panes().Add()->Range().StartDate(), Before - 1.0 / 86400);
  View->Panes().Delete(1);
  EXPECT_EQ(P.Series().Items(2).YAxis().MajorUnit(), 2);
  EXPECT_EQ(P.Series().Items(2).XAxis().TickMarkColor(), TColor(0x0000FF));

  auto Shot = Snapshot(*View);
  Save(*Shot, "design-sample");
  const Integer W = Shot->Width(), H = Shot->Height(), Line = HelperLineHeight();
  // The box's background under its text, its frame and the navy cross.
  EXPECT_EQ(Shot->Canvas()->Pixel(W - 70, H - 4), TColor(0xF5F5F5));
  EXPECT_EQ(Shot->Canvas()->Pixel(W - 70, H - 3 * Line - 11), TColor(0x808080));
  Integer Navy = 0;
  for (Integer Y = H - 3 * Line - 11 + 5; Y <= H - 3 * Line - 11 + 12; ++Y)
    for (Integer X = W - 12; X <= W - 5; ++X) Navy += Shot->Canvas()->Pixel(X, Y) == clNavy;
  EXPECT_GE(Navy, 8);
  // The three lines in their colours.
  for (TColor C : Colors) EXPECT_GT(CountNear(*Shot, C, 40), 30) << std::hex << C;

  // With the box hidden the corner is the chart's white.
  View->SetShowDesignHelper(false);
  auto Hidden = Snapshot(*View);
  Save(*Hidden, "design-sample-no-helper");
  EXPECT_EQ(Hidden->Canvas()->Pixel(W - 70, H - 4), TColor(0xFFFFFF));
}

TEST_F(ChartDesignTimeTest, HitTestsAndClicksToggleTheHelpersSettings) {
  Form->Design();
  TVivGDIPChartView* View = ShowView();
  const Integer R = View->ClientWidth(), B = View->ClientHeight(), Line = HelperLineHeight();
  const Integer CheckY = B - Line - 6, CrossY = B - 3 * Line - 11 + 8;
  struct {
    Integer X, Y, Choice;
  } const Cases[] = {
      {R - 120, CheckY, 1},             // the check box
      {R - 112 + 60, CheckY, 1},        // on its text
      {R - 130, CheckY, -1},            // left of the box
      {R - 120, B - 2 * Line - 5, -1},  // above the line (bounds are exclusive)
      {R - 120, B - Line - 3, -1},      // below it
      {R - 8, CrossY, 3},               // the close cross
      {R - 16, CrossY, -1},             // left of the cross
      {R - 8, B - 3 * Line + 5, -1},    // below the cross
      {40, 40, -1},                     // the chart
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.X << "," << C.Y);
    EXPECT_EQ(View->DesignHelperHitTest(C.X, C.Y), C.Choice);
    // The designer's question: the box claims the mouse over its parts only.
    const LRESULT Claimed = SendMessageW(View->Handle(), CM_DESIGNHITTEST, 0, PointToLParam(C.X, C.Y));
    EXPECT_EQ(Claimed, C.Choice > 0 ? 1 : 0);
    EXPECT_EQ(View->LastDesignChoice(), C.Choice);
  }
  // Hovered, the sample-values text is underlined.
  SendMessageW(View->Handle(), CM_DESIGNHITTEST, 0, PointToLParam(R - 120, CheckY));
  Save(*Snapshot(*View), "design-helper-hover");

  const std::vector<double> Before = XValues(View->Panes().Items(0)->Series().Items(1));
  {
    // No: the toggle stays, the panes stay as they were.
    TMessageBoxAnswerer Answer(IDNO, 5000);
    Click(*View, R - 120, CheckY);
    EXPECT_TRUE(Answer.Asked());
    EXPECT_EQ(Answer.Question(), DeleteQuestion);
    EXPECT_TRUE(Answer.HadYesNo());
  }
  EXPECT_FALSE(View->DesigntimeValues());
  ASSERT_EQ(View->Panes().Count(), 1);
  EXPECT_EQ(XValues(View->Panes().Items(0)->Series().Items(1)), Before);
  {
    // Yes while switching on: a fresh sample, with each serie's own X values.
    TMessageBoxAnswerer Answer(IDYES, 5000);
    Click(*View, R - 120, CheckY);
    EXPECT_TRUE(Answer.Asked());
  }
  EXPECT_TRUE(View->DesigntimeValues());
  ASSERT_EQ(View->Panes().Count(), 1);
  EXPECT_EQ(XValues(View->Panes().Items(0)->Series().Items(1)), (std::vector<double>{0.2, 1.2, 1.5, 2.0, 3.4, 4.5}));
  ExpectSampleValues(View->Panes().Items(0)->Series().Items(2));
  {
    // Yes while switching off: every pane goes.
    TMessageBoxAnswerer Answer(IDYES, 5000);
    Click(*View, R - 120, CheckY);
    EXPECT_TRUE(Answer.Asked());
  }
  EXPECT_FALSE(View->DesigntimeValues());
  EXPECT_EQ(View->Panes().Count(), 0);
  Save(*Snapshot(*View), "design-helper-no-panes");

  // The cross hides the box; then the box claims nothing and takes no click.
  Click(*View, R - 8, CrossY);
  EXPECT_FALSE(View->ShowDesignHelper());
  EXPECT_EQ(SendMessageW(View->Handle(), CM_DESIGNHITTEST, 0, PointToLParam(R - 120, CheckY)), 0);
  {
    TMessageBoxAnswerer Answer(IDYES, 500);
    Click(*View, R - 120, CheckY);
    EXPECT_FALSE(Answer.Asked());
  }
  EXPECT_FALSE(View->DesigntimeValues());
}

TEST_F(ChartDesignTimeTest, AViewMadeAtRunTimeOrReadFromAFormGetsNoSample) {
  struct {
    bool Designing, Loading;
  } const Cases[] = {{false, false}, {true, true}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << "designing " << C.Designing << " loading " << C.Loading);
    Form.reset(TCustomForm::Create<TDesignedForm>(Application));
    if (C.Designing) Form->Design();
    if (C.Loading) Form->BeginLoading();
    auto* View = new TVivGDIPChartView(Form.get());
    View->SetParent(Form.get());
    View->SetAlign(alClient);
    if (C.Loading) Form->EndLoading();
    EXPECT_FALSE(View->DesignTime());
    Form->Show();
    Application->ProcessMessages();
    EXPECT_TRUE(View->Constructed());
    EXPECT_EQ(View->Panes().Count(), 0);
    EXPECT_NE(View->Color(), TColor(0xFFFFFF));
    // A pane the program adds keeps its empty series at run time; in a
    // designer, a read view's series get sample points at each new window.
    TChartPane& Added = *View->Panes().Add();
    // Its range starts now only in a designer.
    EXPECT_EQ(Added.Range().StartDate() > 0, C.Designing);
    TChartSerie& S = Added.Series().Add();
    View->RecreateWnd();
    Application->ProcessMessages();
    EXPECT_EQ(S.GetPointsCount(), C.Designing ? 6 : 0);
    // No box: the designer's question is not claimed, a click changes nothing.
    const Integer R = View->ClientWidth(), B = View->ClientHeight(), Line = HelperLineHeight();
    EXPECT_EQ(SendMessageW(View->Handle(), CM_DESIGNHITTEST, 0, PointToLParam(R - 120, B - Line - 6)), 0);
    Click(*View, R - 120, B - Line - 6);
    EXPECT_TRUE(View->DesigntimeValues());
    EXPECT_EQ(View->Panes().Count(), 1);
    if (!C.Designing) Save(*Snapshot(*View), "design-runtime-view");
  }
}
