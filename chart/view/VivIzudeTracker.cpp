#include "chart/view/VivIzudeTracker.h"

#include <algorithm>

#include "chart/model/ChartPersistent.h"
#include "chart/view/ChartVclCanvas.h"
#include "chart/view/VivIzudeView.h"
#include "rtl/SysUtils.h"
#include "rtl/UpdateGuard.h"

// ---------------------------------------------------------------- items
void TTrackerItem::SaveToFile(TCustomIniFile& Ini, const String& S) const {
  Ini.WriteInteger(S, u"TextColor", TextColor);
  Ini.WriteInteger(S, u"Color", Color);
  Ini.WriteInteger(S, u"StringCount", static_cast<Integer>(Text.size()));
  for (std::size_t I = 0; I < Text.size(); ++I) Ini.WriteString(S, u"Text:" + IntToStr(Integer(I)), Text[I]);
}

void TTrackerItem::LoadFromFile(const TCustomIniFile& Ini, const String& S) {
  TextColor = Ini.ReadInteger(S, u"TextColor", TextColor);
  Color = Ini.ReadInteger(S, u"Color", Color);
  // A damaged count reads no more texts than a row could show in a while.
  const Integer N = std::clamp<Integer>(Ini.ReadInteger(S, u"StringCount", Integer(Text.size())), 0, 1000);
  for (Integer I = 0; I < N; ++I) Text.push_back(Ini.ReadString(S, u"Text:" + IntToStr(I), String()));
}

TTrackerItem& TTrackerItems::Insert(Integer Index) {
  Index = std::clamp<Integer>(Index, 0, Count());
  return *FItems.insert(FItems.begin() + Index, TTrackerItem());
}

// ---------------------------------------------------------------- list
namespace {
constexpr int MaxColumns = 6;

// Paints (Draw) or measures the rows as the list shows them; R is the client
// rectangle.
TSize RowsOn(TCanvas& C, TRect R, const TTrackerItems& Items, const String& Title, const TChartFont& Font,
             const TChartFont& TitleFont, bool Draw) {
  const Integer Top0 = R.Top;
  if (!Title.empty()) {
    ChartFontToFont(TitleFont, *C.Font());
    const Integer TH = C.TextHeight(u"gh");
    if (Draw) {
      C.Brush()->SetStyle(bsClear);
      C.TextOut(2, R.Top, Title);
    }
    R.Top += TH + 4;
  }
  ChartFontToFont(Font, *C.Font());
  const Integer RH = C.TextHeight(u"gh") + 4;
  Integer Width[MaxColumns] = {};
  for (Integer I = 0; I < Items.Count(); ++I) {
    const TTrackerItem& It = Items.Items(I);
    for (std::size_t J = 0; J < It.Text.size() && J < MaxColumns; ++J)
      Width[J] = std::max(Width[J], C.TextWidth(It.Text[J]) + 4);
  }
  Integer X[MaxColumns] = {};
  for (int J = 1; J < MaxColumns; ++J) X[J] = X[J - 1] + Width[J - 1];
  Integer Measured = 0;
  for (Integer I = 0; I < Items.Count(); ++I) {
    const TTrackerItem& It = Items.Items(I);
    if (Draw) {
      C.Brush()->SetStyle(bsSolid);
      C.Brush()->SetColor(It.Color);
      C.Pen()->SetStyle(psSolid);
      C.Pen()->SetColor(It.Color);
      C.Rectangle(R.Left, R.Top, R.Right, R.Top + RH);
      C.Brush()->SetStyle(bsClear);
      C.Font()->SetColor(It.TextColor);
    }
    for (std::size_t J = 0; J < It.Text.size() && J < MaxColumns; ++J) {
      const Integer At = std::max<Integer>(X[J], 2);
      if (Draw) C.TextOut(At, R.Top, It.Text[J]);
      Measured = std::max(Measured, At + C.TextWidth(It.Text[J]));
    }
    R.Top += RH;
  }
  const Integer Height = Items.Count() > 0 ? R.Top - Top0 : R.Bottom - Top0;
  return {Measured, Height};
}
}  // namespace

TSize MeasureTrackerRows(TCanvas& Canvas, const TTrackerItems& Items, const String& Title, const TChartFont& Font,
                         const TChartFont& TitleFont, Integer ClientHeight) {
  return RowsOn(Canvas, {0, 0, 100, ClientHeight}, Items, Title, Font, TitleFont, false);
}

TTrackerList::TTrackerList(TComponent* AOwner) : TCustomControl(AOwner) {}

TSize TTrackerList::PaintRows(TCanvas& C, TRect R) {
  // A background without a colour of its own is the window's.
  const TColor From = Color() == clNone ? clWindow : Color();
  const TColor To = FColorTo == clNone ? From : FColorTo;
  DrawGradientRect(C, From, To, 0, clNone, false, FGradientDirection, R, 128);
  FSize = RowsOn(C, R, FItems, FTitle, FFont, FTitleFont, true);
  return FSize;
}

void TTrackerList::Paint() { PaintRows(*Canvas(), ClientRect()); }

void TTrackerList::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::WndProc(Message);
}

void TTrackerList::SaveToFile(TCustomIniFile& Ini, const String& S) const {
  Ini.WriteInteger(S, u"Align", Integer(Align()));
  Ini.WriteString(S, u"Anchors", SetToString(Anchors(), 4));
  Ini.WriteInteger(S, u"ColorTo", FColorTo);
  WriteChartFont(Ini, S, u"", FFont);
  Ini.WriteInteger(S, u"GradientDirection", FGradientDirection);
  Ini.WriteInteger(S, u"ItemCount", FItems.Count());
  for (Integer I = 0; I < FItems.Count(); ++I) FItems.Items(I).SaveToFile(Ini, S + u":TrackerListItems:" + IntToStr(I));
  Ini.WriteString(S, u"Title", FTitle);
  WriteChartFont(Ini, S, u"Title", FTitleFont);
  Ini.WriteBool(S, u"Visible", Visible());
  Ini.WriteString(S, u"Constraints",
                  IntToStr(Constraints()->MinWidth()) + u"," + IntToStr(Constraints()->MinHeight()) + u"," +
                      IntToStr(Constraints()->MaxWidth()) + u"," + IntToStr(Constraints()->MaxHeight()));
}

void TTrackerList::LoadFromFile(const TCustomIniFile& Ini, const String& S) {
  SetAlign(ReadEnum(Ini, S, u"Align", Align(), 7));
  TAnchors A = Anchors();
  for (Integer O : ReadOrdinalList(Ini.ReadString(S, u"Anchors", String())))
    if (O >= 0 && O < 4) A.Include(static_cast<TAnchorKind>(O));
  SetAnchors(A);
  SetColorTo(Ini.ReadInteger(S, u"ColorTo", FColorTo));
  ReadChartFont(Ini, S, u"", FFont);
  SetGradientDirection(ReadEnum(Ini, S, u"GradientDirection", FGradientDirection, 2));
  const Integer N = std::clamp<Integer>(Ini.ReadInteger(S, u"ItemCount", 0), 0, 10000);
  for (Integer I = 0; I < N; ++I) {
    TTrackerItem& It = I < FItems.Count() ? FItems.Items(I) : FItems.Add();
    It.LoadFromFile(Ini, S + u":TrackerListItems:" + IntToStr(I));
  }
  SetTitle(Ini.ReadString(S, u"Title", FTitle));
  ReadChartFont(Ini, S, u"Title", FTitleFont);
  SetVisible(Ini.ReadBool(S, u"Visible", Visible()));
  Invalidate();
}

// ---------------------------------------------------------------- form
TTrackerForm::TTrackerForm(TComponent* AOwner, TVivIzudeView* View) : TForm(AOwner), FView(View) {
  SetBorderStyle(bsToolWindow);
  SetPosition(poDesigned);
  SetScaled(false);
  FList = new TTrackerList(this);
  FList->SetParent(this);
  FList->SetAlign(alClient);
}

void TTrackerForm::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  // Shown beside the view without taking the focus from its form.
  Params.ExStyle |= WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
  if (FView && FView->HandleAllocated()) Params.WndParent = GetAncestor(FView->Handle(), GA_ROOT);
}

void TTrackerForm::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    TForm::WndProc(Message);
    // Dragged by its caption only; everything else falls through.
    if (Message.Result != HTCAPTION) Message.Result = HTTRANSPARENT;
    return;
  }
  if (Message.Msg == WM_MOVE) {
    TForm::WndProc(Message);
    if (OnMove) OnMove(this, Left(), Top());
    return;
  }
  TForm::WndProc(Message);
}

void TTrackerForm::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TForm::MouseMove(Shift, X, Y);
  if (!FView || !FView->HandleAllocated()) return;
  const TPoint P = FView->ScreenToClient(ClientToScreen({X, Y}));
  FView->ForwardMouseMove(Shift, P.X, P.Y);
}

// ---------------------------------------------------------------- title
void TChartTrackerTitle::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TChartTrackerTitle*>(Source);
  if (!S) {
    TPersistent::Assign(Source);
    return;
  }
  FColor = S->FColor;
  FColorTo = S->FColorTo;
  FFont = S->FFont;
  FText = S->FText;
  FGradientDirection = S->FGradientDirection;
  FGradientSteps = S->FGradientSteps;
  FSize = S->FSize;
}

void TChartTrackerTitle::SaveToFile(TCustomIniFile& Ini, const String& S) const {
  Ini.WriteInteger(S, u"Color", FColor);
  Ini.WriteInteger(S, u"ColorTo", FColorTo);
  WriteChartFont(Ini, S, u"", FFont);
  Ini.WriteInteger(S, u"GradientDirection", FGradientDirection);
  Ini.WriteInteger(S, u"GradientSteps", FGradientSteps);
  Ini.WriteInteger(S, u"Size", FSize);
  Ini.WriteString(S, u"Text", FText);
}

void TChartTrackerTitle::LoadFromFile(const TCustomIniFile& Ini, const String& S) {
  SetColor(Ini.ReadInteger(S, u"Color", FColor));
  SetColorTo(Ini.ReadInteger(S, u"ColorTo", FColorTo));
  ReadChartFont(Ini, S, u"", FFont);
  SetGradientDirection(ReadEnum(Ini, S, u"GradientDirection", FGradientDirection, 2));
  SetGradientSteps(Ini.ReadInteger(S, u"GradientSteps", FGradientSteps));
  SetSize(Ini.ReadInteger(S, u"Size", FSize));
  SetText(Ini.ReadString(S, u"Text", FText));
}

// ---------------------------------------------------------------- tracker
TChartTracker::TChartTracker(TVivIzudeView* AOwner) : FOwner(AOwner) {
  FTitle.OnChange = [this](TObject*) { Changed(); };
}

TChartTracker::~TChartTracker() = default;

void TChartTracker::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TChartTracker*>(Source);
  if (!S) {
    TPersistent::Assign(Source);
    return;
  }
  FVisible = S->FVisible;
  FColor = S->FColor;
  FColorTo = S->FColorTo;
  FTop = S->FTop;
  FLeft = S->FLeft;
  FWidth = S->FWidth;
  FHeight = S->FHeight;
  FGradientSteps = S->FGradientSteps;
  FGradientDirection = S->FGradientDirection;
  FFont = S->FFont;
  FTitle.Font() = S->FTitle.Font();
}

void TChartTracker::SetVisible(bool V) {
  if (V == FVisible) return;
  FVisible = V;
  if (V && !FForm) EnsureWindow();
  if (FForm) {
    if (V) {
      SetValues();
      ShowWindow(FForm->Handle(), SW_SHOWNOACTIVATE);
      FForm->SetVisible(true);
    } else {
      FForm->Hide();
    }
  }
  Changed();
}

TTrackerForm* TChartTracker::EnsureWindow() {
  if (FForm || !FOwner || !FOwner->HandleAllocated()) return FForm;
  auto* Form = new TTrackerForm(FOwner, FOwner);
  FForm = Form;
  Form->SetDoubleBuffered(true);
  Form->SetFormStyle(fsStayOnTop);
  Form->OnCloseQuery = [this](TObject*, bool& CanClose) {
    if (FOwner && FOwner->OnTrackerClose) FOwner->OnTrackerClose(FOwner, CanClose);
  };
  Form->OnClose = [this](TObject*, TCloseAction& Action) {
    Action = caHide;
    FVisible = false;
    Changed();
  };
  Form->OnMove = [this](TObject*, Integer X, Integer Y) {
    if (FOwner) FOwner->TrackerMoved(X, Y);
  };
  {
    const TUpdateGuard<TChartTracker> Update(*this);
    TTrackerList& L = Form->TrackerList();
    L.SetColor(FColor);
    L.SetColorTo(FColorTo);
    L.SetChartFont(FFont);
    L.SetTitleFont(FTitle.Font());
    Form->SetBorderStyle(FBorderStyle);
    const TWinControl* Parent = FOwner->Parent();
    const TPoint Origin = Parent ? Parent->ClientOrigin() : FOwner->ClientOrigin();
    Form->SetBounds(Origin.X + FLeft, Origin.Y + FTop, std::max(FWidth, 1), std::max(FHeight, 1));
    Form->HandleNeeded();
    if (FAlphaBlend) {
      HWND H = Form->Handle();
      SetWindowLongPtrW(H, GWL_EXSTYLE, GetWindowLongPtrW(H, GWL_EXSTYLE) | WS_EX_LAYERED);
      SetLayeredWindowAttributes(H, 0, FAlphaBlendValue, LWA_ALPHA);
    }
    if (FAutoSize) DoAutoSize();
  }
  SetValues();
  if (FVisible) {
    ShowWindow(Form->Handle(), SW_SHOWNOACTIVATE);
    Form->SetVisible(true);
  }
  return Form;
}

void TChartTracker::ReleaseWindow() {
  TTrackerForm* F = FForm;
  FForm = nullptr;
  if (!F) return;
  F->OnMove = nullptr;
  F->OnClose = nullptr;
  F->OnCloseQuery = nullptr;
  delete F;
}

void TChartTracker::BuildRows(TTrackerItems& Rows, bool Sample) const {
  Rows.Clear();
  if (!FOwner) return;
  TChartPanes& Panes = FOwner->Panes();
  const TColor Ink = FFont.Color();
  for (Integer PI = 0; PI < Panes.Count(); ++PI) {
    TChartPane& P = *Panes.Items(PI);
    TChartCrossHairYValues& YV = P.CrossHair().CrossHairYValues();
    if (!YV.ShowSerieValues() || !YV.Position().Contains(chValueTracker)) continue;
    TChartSeries& Series = P.Series();
    for (Integer SI = 0; SI < Series.Count(); ++SI) {
      TChartSerie& S = Series.Items(SI);
      const TChartType T = S.ChartType();
      const bool Candle = T == ctCandleStick || T == ctLineCandleStick || T == ctOHLC;
      const String Legend = S.LegendText() + u": ";
      auto Row = [&](std::vector<String> Texts) {
        TTrackerItem& It = Rows.Add();
        It.Color = S.Color();
        It.TextColor = Ink;
        It.Text = std::move(Texts);
      };
      auto CandleRow = [&](double H, double O, double C, double L) {
        Row({Legend, FHighPrefix + S.FormatValue(H), FOpenPrefix + S.FormatValue(O), FClosePrefix + S.FormatValue(C),
             FLowPrefix + S.FormatValue(L)});
      };
      if (Sample) {
        const double M = S.MaximumValue();
        if (Candle)
          CandleRow(M, M, M, M);
        else
          Row({Legend, S.FormatValue(M)});
        continue;
      }
      if (P.CrossHairPoints.empty()) {
        if (S.ShowValueInTracker()) Row({Legend});
        continue;
      }
      for (const TSeriePoint& Pt : P.CrossHairPoints) {
        if (Pt.Serie != SI || Pt.PointType != cspSerie) continue;
        const TChartPoint CP = S.GetChartPoint(Pt.Point);
        if (Candle) {
          CandleRow(CP.HighValue, CP.OpenValue, CP.CloseValue, CP.LowValue);
        } else if (S.ShowValueInTracker()) {
          Row({Legend, S.FormatValue(IsXYType(T) ? Pt.SerieValue : CP.SingleValue)});
        }
      }
    }
  }
}

void TChartTracker::SetValues() {
  if (!FVisible || !FForm) return;
  TTrackerList& L = FForm->TrackerList();
  BuildRows(L.Items(), false);
  L.Invalidate();
}

void TChartTracker::DoAutoSize() {
  if (!FAutoSize || !FForm) return;
  TTrackerItems Sample;
  BuildRows(Sample, true);
  TBitmap Scratch(1, 1);
  const TSize Need = MeasureTrackerRows(*Scratch.Canvas(), Sample, String(), FFont, FTitle.Font(), 100);
  FForm->SetBounds(FForm->Left(), FForm->Top(), Need.cx + 2 * GetSystemMetrics(SM_CXEDGE) + 2,
                   Need.cy + GetSystemMetrics(SM_CYCAPTION));
}

void TChartTracker::SetTrackerFormSize(TCanvas& Canvas) {
  if (!FOwner || !FForm) return;
  ChartFontToFont(FTitle.Font(), *Canvas.Font());
  Integer WL = 0, N = 0;
  TCanvas& ListCanvas = *FForm->TrackerList().Canvas();
  ChartFontToFont(FForm->TrackerList().ChartFont(), *ListCanvas.Font());
  TChartPanes& Panes = FOwner->Panes();
  for (Integer PI = 0; PI < Panes.Count(); ++PI)
    for (Integer SI = 0; SI < Panes.Items(PI)->Series().Count(); ++SI) {
      WL = std::max(WL, ListCanvas.TextWidth(Panes.Items(PI)->Series().Items(SI).LegendText()));
      ++N;
    }
  ChartFontToFont(FFont, *Canvas.Font());
  const String SampleText = FloatToStr(12345678.0);
  Integer A = 0, B = 0, WV = 0;
  for (Integer PI = 0; PI < Panes.Count(); ++PI)
    for (Integer SI = 0; SI < Panes.Items(PI)->Series().Count(); ++SI) {
      const TChartSerie& S = Panes.Items(PI)->Series().Items(SI);
      if (S.SerieType() == stZoomControl || !S.Visible()) continue;
      const Integer W = Canvas.TextWidth(SampleText);
      const TChartType T = S.ChartType();
      if ((T >= ctLine && T <= ctLineHistogram) || T == ctXYLine || T == ctXYDigitalLine) A = W + 10;
      if (T == ctCandleStick || T == ctLineCandleStick || T == ctOHLC) A = 4 * W, B = 4 * W + 40;
      if (A != B) WV = std::max(A, B);
    }
  const Integer H = Canvas.TextHeight(SampleText) + FTitle.Size();
  FForm->SetBounds(FLeft, FTop, WL + WV, H * N);
}

void TChartTracker::SaveToFile(TCustomIniFile& Ini, const String& S) const {
  Ini.WriteBool(S, u"AlphaBlend", FAlphaBlend);
  Ini.WriteInteger(S, u"AlphaBlendValue", FAlphaBlendValue);
  Ini.WriteBool(S, u"AutoSize", FAutoSize);
  Ini.WriteInteger(S, u"BorderStyle", FBorderStyle);
  Ini.WriteInteger(S, u"Color", FColor);
  Ini.WriteInteger(S, u"ColorTo", FColorTo);
  WriteChartFont(Ini, S, u"", FFont);
  Ini.WriteInteger(S, u"GradientDirection", FGradientDirection);
  Ini.WriteInteger(S, u"GradientSteps", FGradientSteps);
  Ini.WriteInteger(S, u"Height", FHeight);
  Ini.WriteInteger(S, u"Left", FLeft);
  Ini.WriteInteger(S, u"Top", FTop);
  Ini.WriteBool(S, u"Visible", FVisible);
  Ini.WriteInteger(S, u"Width", FWidth);
  FTitle.SaveToFile(Ini, S + u".Title");
}

void TChartTracker::LoadFromFile(const TCustomIniFile& Ini, const String& S) {
  SetAlphaBlend(Ini.ReadBool(S, u"AlphaBlend", FAlphaBlend));
  SetAlphaBlendValue(
      static_cast<Byte>(std::clamp<Integer>(Ini.ReadInteger(S, u"AlphaBlendValue", FAlphaBlendValue), 0, 255)));
  SetAutoSize(Ini.ReadBool(S, u"AutoSize", FAutoSize));
  SetBorderStyle(ReadEnum(Ini, S, u"BorderStyle", FBorderStyle, 6));
  SetColor(Ini.ReadInteger(S, u"Color", FColor));
  SetColorTo(Ini.ReadInteger(S, u"ColorTo", FColorTo));
  TChartFont F = FFont;
  ReadChartFont(Ini, S, u"", F);
  if (!F.SameValues(FFont)) SetFont(F);
  SetGradientDirection(ReadEnum(Ini, S, u"GradientDirection", FGradientDirection, 2));
  SetGradientSteps(Ini.ReadInteger(S, u"GradientSteps", FGradientSteps));
  SetHeight(Ini.ReadInteger(S, u"Height", FHeight));
  SetLeft(Ini.ReadInteger(S, u"Left", FLeft));
  SetTop(Ini.ReadInteger(S, u"Top", FTop));
  SetVisible(Ini.ReadBool(S, u"Visible", FVisible));
  SetWidth(Ini.ReadInteger(S, u"Width", FWidth));
  FTitle.LoadFromFile(Ini, S + u".Title");
}
