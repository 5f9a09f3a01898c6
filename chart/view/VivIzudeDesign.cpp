// The view while its form is designed: sample content that shows its look
// without data, and a helper box in the bottom-right corner that switches
// the sample values on or off or hides itself. Nothing here runs in a
// built program: every path needs the design-time flag.
#include "chart/view/VivIzudeView.h"

#include <array>
#include <random>

#include "rtl/DateUtils.h"
// The visual-style calls, after the Windows header the view brings in.
#include <uxtheme.h>
#include <vssym32.h>

namespace {

// A whole number from 1 to 10.
double SampleValue() {
  static std::mt19937 Generator{std::random_device{}()};
  return std::uniform_int_distribution<int>(1, 10)(Generator);
}

using TSampleXs = std::array<double, 6>;

void AddSamplePoints(TChartSerie& S, const TSampleXs& Xs) {
  for (double X : Xs) S.AddSingleXYPoint(X, SampleValue());
}

constexpr Integer HelperWidth = 130;
const String SampleValuesText = u"Show sample values";

void SetHelperFont(TFont& Font) {
  Font.SetName(u"Tahoma");
  Font.SetSize(8);
}

}  // namespace

// ---------------------------------------------------------------- pane sample
void TChartPane::InitSample() {
  if (TVivIzudeView* V = ChartView()) V->SetColor(TColor(0xFFFFFF));
  SetBorderColor(0);
  Series().Clear();
  SetBorderWidth(1);
  Title().SetText(u"TVivIzudeView");
  Title().SetPosition(tTop);
  Title().SetAlignment(taCenter);
  Title().SetSize(20);
  XAxis().SetText(u"X-axis");
  XAxis().SetPosition(xBottom);
  XAxis().SetSize(30);
  YAxis().SetSize(40);
  YAxis().SetText(u"Y-axis");
  YAxis().SetPosition(yLeft);
  Margin().SetTopMargin(10);
  Margin().SetLeftMargin(10);
  Margin().SetRightMargin(10);

  struct TSampleSerie {
    TColor Color;
    bool AxesShown;
    TSampleXs Xs;
  };
  const TSampleSerie Samples[] = {{TColor(0x0055FF), true, {0.5, 1.5, 1.8, 2.8, 3.4, 4.8}},
                                  {TColor(0xCF8300), false, {0.2, 1.2, 1.5, 2.0, 3.4, 4.5}},
                                  {TColor(0x66BA82), false, {1.0, 2.0, 3.5, 4.0, 4.5, 5.0}}};
  for (const TSampleSerie& Sample : Samples) {
    TChartSerie& S = Series().Add();
    S.SetChartType(ctLine);
    S.SetAutoRange(arDisabled);
    S.SetMinimum(0);
    S.SetMaximum(12);
    S.SetValueWidth(80);
    S.SetValueWidthType(wtPercentage);
    S.XAxis().SetMajorUnit(1);
    S.YAxis().TextLeft().SetAngle(-90);
    S.YAxis().TextRight().SetAngle(90);
    S.SetColor(Sample.Color);
    S.SetLineColor(Sample.Color);
    S.XAxis().SetVisible(Sample.AxesShown);
    S.YAxis().SetVisible(Sample.AxesShown);
    TChartMarker& M = S.Marker();
    M.SetMarkerType(mCircle);
    M.SetMarkerColor(Sample.Color);
    M.SetSelectedColor(Sample.Color);
    M.SetSelectedLineColor(clBlack);
    M.SetSelectedSize(M.MarkerSize() + 5);
    AddSamplePoints(S, Sample.Xs);
  }
  auto Ticks = [](TChartSerie& S, double YMajorUnit, TColor YTickColor, Integer XTickWidth, TColor XTickColor) {
    S.YAxis().SetMajorUnitSpacing(10);
    S.YAxis().SetMinorUnitSpacing(10);
    S.YAxis().SetMajorUnit(YMajorUnit);
    S.YAxis().SetMajorUnitSpacing(0);
    S.YAxis().SetTickMarkColor(YTickColor);
    S.XAxis().SetTickMarkSize(6);
    S.XAxis().SetTickMarkWidth(XTickWidth);
    S.XAxis().SetTickMarkColor(XTickColor);
  };
  Ticks(Series().Items(0), 1, TColor(0x0000FF), 1, clBlack);
  Ticks(Series().Items(2), 2, TColor(0xFF0000), 2, TColor(0x0000FF));
  Range().SetRangeFrom(0);
  Range().SetRangeTo(5);
  Range().SetStartDate(Now());
  Series().ForceInit(true);
}

// ---------------------------------------------------------------- view sample
bool TVivIzudeView::DesigningNow() const {
  if (!ComponentState().Contains(csDesigning)) return false;
  const TComponent* O = Owner();
  return !O || !(O->ComponentState().Contains(csReading) || O->ComponentState().Contains(csLoading));
}

void TVivIzudeView::InitSample() {
  BeginUpdate();
  FPanes->Clear();
  FPanes->Add()->InitSample();
  EndUpdate();
}

void TVivIzudeView::RenewSampleValues() {
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartSeries& Series = FPanes->Items(I)->Series();
    for (Integer J = 0; J < Series.Count(); ++J) {
      TChartSerie& S = Series.Items(J);
      S.ClearPoints();
      AddSamplePoints(S, TSampleXs{0.5, 1.5, 1.8, 2.8, 3.4, 4.8});
    }
  }
}

// ---------------------------------------------------------------- helper box
TSize TVivIzudeView::DesignHelperMetrics() {
  TBitmap Scratch(1, 1);
  SetHelperFont(*Scratch.Canvas()->Font());
  return {Scratch.Canvas()->TextWidth(SampleValuesText), Scratch.Canvas()->TextHeight(u"gh")};
}

void TVivIzudeView::DrawDesignHelper(TCanvas& Canvas) {
  if (!FDesignTime || !FShowDesignHelper || !FWinXP) return;
  SetHelperFont(*Canvas.Font());
  const Integer H = Canvas.TextHeight(u"gh");
  const TRect Client = ClientRect();
  const TRect Box{Client.Right - HelperWidth, Client.Bottom - 3 * H - 11, Client.Right, Client.Bottom};
  Canvas.Brush()->SetStyle(bsSolid);
  Canvas.Brush()->SetColor(TColor(0xF5F5F5));
  Canvas.Pen()->SetStyle(psSolid);
  Canvas.Pen()->SetWidth(1);
  Canvas.Pen()->SetColor(TColor(0x808080));
  Canvas.Rectangle(Box);
  Canvas.Font()->SetColor(clNavy);

  Canvas.Pen()->SetColor(clNavy);
  Canvas.Pen()->SetWidth(2);
  Canvas.MoveTo(Box.Right - 12, Box.Top + 5);
  Canvas.LineTo(Box.Right - 5, Box.Top + 12);
  Canvas.MoveTo(Box.Right - 5, Box.Top + 5);
  Canvas.LineTo(Box.Right - 12, Box.Top + 12);
  Canvas.Pen()->SetWidth(1);

  RECT Check{Box.Left + 4, Box.Top + H, Box.Left + 20, Box.Top + H + 16};
  const HDC DC = Canvas.Handle();
  bool Drawn = false;
  if (IsAppThemed() && IsThemeActive()) {
    if (HTHEME Theme = OpenThemeData(HandleAllocated() ? Handle() : nullptr, L"BUTTON")) {
      const int State = FDesigntimeValues ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL;
      Drawn = SUCCEEDED(DrawThemeBackground(Theme, DC, BP_CHECKBOX, State, &Check, nullptr));
      CloseThemeData(Theme);
    }
  }
  if (!Drawn) DrawFrameControl(DC, &Check, DFC_BUTTON, DFCS_BUTTONCHECK | (FDesigntimeValues ? DFCS_CHECKED : 0));

  Canvas.Font()->SetStyle(FLastDesignChoice == 1 ? TFontStyles{fsUnderline} : TFontStyles{});
  Canvas.Brush()->SetStyle(bsClear);
  Canvas.TextOut(Box.Left + 22, Check.top + (16 - H) / 2, SampleValuesText);
  Canvas.Brush()->SetStyle(bsSolid);
  Canvas.Font()->SetStyle({});
}

Integer TVivIzudeView::DesignHelperHitTest(Integer X, Integer Y) {
  const TSize M = DesignHelperMetrics();
  const Integer H = M.cy;
  const TRect Client = ClientRect();
  const Integer R = Client.Right, B = Client.Bottom;
  if (X > R - HelperWidth && X < R - 112 + M.cx && Y > B - 2 * H - 5 && Y < B - H - 3) return 1;
  if (X > R - 16 && Y > B - 3 * H - 11 && Y < B - 3 * H + 5) return 3;
  return -1;
}

void TVivIzudeView::DesignHitTest(TMessage& Message) {
  if (!FDesignTime || !FShowDesignHelper) return;
  const TPoint P = MessagePoint(Message.LParam);
  const Integer Choice = DesignHelperHitTest(P.X, P.Y);
  if (Choice != FLastDesignChoice && HandleAllocated()) {
    const TRect Client = ClientRect();
    RECT Corner{Client.Right - 150, Client.Bottom - 70, Client.Right, Client.Bottom};
    InvalidateRect(Handle(), &Corner, FALSE);
  }
  FLastDesignChoice = Choice;
  if (Choice >= 1 && Choice <= 3) Message.Result = 1;
}

bool TVivIzudeView::ConfirmDesignChange(const String& Question) {
  const HWND Owner = HandleAllocated() ? GetAncestor(Handle(), GA_ROOT) : nullptr;
  return MessageBoxW(Owner, WideCStr(Question), L"Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TVivIzudeView::DesignHelperClick(Integer X, Integer Y) {
  // A hidden box takes no clicks: its place is the chart's again.
  if (!FDesignTime || !FShowDesignHelper) return;
  switch (DesignHelperHitTest(X, Y)) {
    case 1:
      SetDesigntimeValues(!FDesigntimeValues);
      if (ConfirmDesignChange(u"Are you sure you want to delete all panes / series?")) {
        if (FDesigntimeValues)
          InitSample();
        else
          FPanes->Clear();
      }
      break;
    case 3:
      SetShowDesignHelper(false);
      break;
    default:
      break;
  }
  Invalidate();
}
