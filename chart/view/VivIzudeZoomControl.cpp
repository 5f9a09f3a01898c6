// The zoom control of a GDI+ pane: the overview strip with its sliders, its
// settings, and the view's filling, painting and dragging of it.
#include "chart/model/ChartHelpers.h"
#include "chart/view/VivIzudeGDIPPaintSupport.h"
#include "rtl/IniFiles.h"
#include "rtl/ScopeExit.h"
#include "rtl/UpdateGuard.h"

using namespace gdip_paint;

void ZoomControlPositionOffset(Integer& X, Integer& Y, TRect R, Integer W, Integer H, TZoomControlPosition Position) {
  const Integer RW = R.Right - R.Left, RH = R.Bottom - R.Top;
  switch (Position) {
    case zpTopLeft:
      X = 0, Y = 0;
      break;
    case zpTopRight:
      X = RW - W, Y = 0;
      break;
    case zpTopCenter:
      X = (RW - W) / 2, Y = 0;
      break;
    case zpBottomLeft:
      X = 0, Y = RH - H;
      break;
    case zpBottomRight:
      X = RW - W, Y = RH - H;
      break;
    case zpBottomCenter:
      X = (RW - W) / 2, Y = RH - H;
      break;
    case zpCenterLeft:
      X = 0, Y = (RH - H) / 2;
      break;
    case zpCenterCenter:
      X = (RW - W) / 2, Y = (RH - H) / 2;
      break;
    case zpCenterRight:
      X = RW - W, Y = (RH - H) / 2;
      break;
    default:
      X = R.Left, Y = R.Top;
      break;
  }
}

// ---------------------------------------------------------------- control
TVivGDIPZoomControl::TVivGDIPZoomControl(TVivGDIPChartPane* Owner)
    : FOwner(Owner), FChart(std::make_unique<TVivGDIPChart>(nullptr)) {
  FChart->XAxis().SetPosition(xNone);
  FChart->YAxis().SetPosition(yNone);
  FChart->Legend().SetVisible(false);
  // The strip is small: no title band takes room from the overview.
  FChart->Title().SetPosition(tNone);
  FSliderLeftPicture.OnChange = [this](TObject*) { Changed(); };
  FSliderRightPicture.OnChange = [this](TObject*) { Changed(); };
}

TVivGDIPZoomControl::~TVivGDIPZoomControl() = default;

void TVivGDIPZoomControl::Changed() {
  if (FOwner) FOwner->Chart().Changed();
}

void TVivGDIPZoomControl::Assign(const TVivGDIPZoomControl& S) {
  if (&S == this) return;
  FLeft = S.FLeft;
  FTop = S.FTop;
  FPosition = S.FPosition;
  FWidth = S.FWidth;
  FHeight = S.FHeight;
  FVisible = S.FVisible;
  FSliderOpacity = S.FSliderOpacity;
  FSliderColor = S.FSliderColor;
  FSelectionOpacity = S.FSelectionOpacity;
  FSelectionColor = S.FSelectionColor;
  FBorderColor = S.FBorderColor;
  FBorderOpacity = S.FBorderOpacity;
  FBackGroundColor = S.FBackGroundColor;
  FBackGroundOpacity = S.FBackGroundOpacity;
  FSlideRangeFrom = S.FSlideRangeFrom;
  FSlideRangeTo = S.FSlideRangeTo;
  FSlideAutoRange = S.FSlideAutoRange;
  FAutoUpdate = S.FAutoUpdate;
  FSliderLeftPicture.Assign(S.FSliderLeftPicture);
  FSliderRightPicture.Assign(S.FSliderRightPicture);
  FSliderSize = S.FSliderSize;
  FSliderType = S.FSliderType;
  FSlideMaximumRange = S.FSlideMaximumRange;
  FSlideMinimumRange = S.FSlideMinimumRange;
  Changed();
}

TRect TVivGDIPZoomControl::GetControlRect(TRect SR) const {
  Integer X, Y;
  if (FPosition == zpCustom) {
    X = SR.Left + FLeft;
    Y = SR.Top + FTop;
  } else {
    ZoomControlPositionOffset(X, Y, SR, FWidth, FHeight, FPosition);
    X += SR.Left;
    Y += SR.Top;
  }
  return {X, Y, X + FWidth - 2, Y + FHeight - 2};
}

TRect TVivGDIPZoomControl::SliderRect(TRect ZR, Integer RangeIndex, bool Dragged, Integer DragX) const {
  const double Start = FChart->GetXScaleStart(), Scale = FChart->XScale();
  Integer X = Dragged ? DragX - 1 : ZR.Left + RoundI(Start + RangeIndex * Scale) - 1;
  if (FOwner && FOwner->FSelection) X += FOwner->FSelX;
  X = std::min(X, RoundI(ZR.Right - Start));
  X = std::max(X, RoundI(Start + ZR.Left));
  return {X, ZR.Top, X + 2, ZR.Bottom};
}

TRect TVivGDIPZoomControl::GetSliderFromRect(TRect ZR) const {
  const bool Dragged = FOwner && FOwner->FSlFrom && FOwner->FMDzoom;
  return SliderRect(ZR, FSlideRangeFrom, Dragged, FOwner ? FOwner->FSXFrom : 0);
}

TRect TVivGDIPZoomControl::GetSliderToRect(TRect ZR) const {
  const bool Dragged = FOwner && FOwner->FSlTo && FOwner->FMDzoom;
  return SliderRect(ZR, FSlideRangeTo, Dragged, FOwner ? FOwner->FSXTo : 0);
}

TRect TVivGDIPZoomControl::GetSelectionRect(TRect ZR) const {
  return {GetSliderFromRect(ZR).Right, ZR.Top, GetSliderToRect(ZR).Left, ZR.Bottom};
}

Integer TVivGDIPZoomControl::IndexAt(TRect ZR, Integer X) const {
  const double Scale = FChart->XScale();
  if (Scale == 0 || !std::isfinite(Scale)) return 0;
  return RoundI((X - ZR.Left - FChart->GetXScaleStart()) / Scale);
}

void TVivGDIPZoomControl::Draw(TChartCanvas& Canvas, TRect R, double SX, double SY) {
  HDC DC = CanvasDC(Canvas);
  if (DC) {
    TGPGraphics G(DC);
    TGPSolidBrush Back(MakeGDIPColor(FBackGroundOpacity, FBackGroundColor));
    G.FillRectangle(Back, RectF(R));
    TGPPen Frame(MakeGDIPColor(FBorderOpacity, FBorderColor), 1);
    G.DrawRectangle(Frame, RectF(R));
  }
  // The overview stays inside the strip's frame: the copied series keep
  // their full-size markers, line widths and value texts, which would run
  // over the frame and the pane's own painting around the strip.
  {
    TVclChartCanvas* Clipped = dynamic_cast<TVclChartCanvas*>(&Canvas);
    const TScopeExit Unclip([Clipped] {
      if (Clipped) Clipped->SetClipBounds(std::nullopt);
    });
    if (Clipped) Clipped->SetClipBounds(TRect{R.Left + 1, R.Top + 1, R.Right, R.Bottom});
    FChart->Draw(Canvas, R, SX, SY, true);
  }
  if (!DC) return;
  const TRect F = GetSliderFromRect(R), T = GetSliderToRect(R);
  TGPGraphics G(DC);
  TGPSolidBrush Selection(MakeGDIPColor(FSelectionOpacity, FSelectionColor));
  G.FillRectangle(Selection, REAL(F.Left), REAL(F.Top), REAL(T.Right - F.Left), REAL(F.Bottom - F.Top));
  TGPSolidBrush Slider(MakeGDIPColor(FSliderOpacity, FSliderColor));
  G.FillRectangle(Slider, RectF(F));
  G.FillRectangle(Slider, RectF(T));
  const Integer S = FSliderSize;
  const Integer MF = F.Top + (F.Bottom - F.Top) / 2, MT = T.Top + (T.Bottom - T.Top) / 2;
  switch (FSliderType) {
    case TZoomControlSliderType::stSquare:
      G.FillRectangle(Slider, REAL(F.Left - S / 2.0), REAL(F.Top + (F.Bottom - F.Top) / 2.0 - S / 2.0), REAL(S / 2.0),
                      REAL(S));
      G.FillRectangle(Slider, REAL(T.Right - 1), REAL(T.Top + (T.Bottom - T.Top) / 2.0 - S / 2.0), REAL(S / 2.0),
                      REAL(S));
      break;
    case TZoomControlSliderType::stArrow: {
      const TGPPointF L[3] = {
          {REAL(F.Left), REAL(MF - S / 2)}, {REAL(F.Left), REAL(MF + S / 2)}, {REAL(F.Left - S / 2), REAL(MF)}};
      const TGPPointF Rt[3] = {
          {REAL(T.Right), REAL(MT - S / 2)}, {REAL(T.Right), REAL(MT + S / 2)}, {REAL(T.Right + S / 2), REAL(MT)}};
      G.FillPolygon(Slider, L, 3);
      G.FillPolygon(Slider, Rt, 3);
      break;
    }
    case TZoomControlSliderType::stImage:
      if (!FSliderLeftPicture.Empty()) FSliderLeftPicture.GDIPDraw(G, Bounds(F.Left - S / 2, MF - S / 2, S, S));
      if (!FSliderRightPicture.Empty()) FSliderRightPicture.GDIPDraw(G, Bounds(T.Left - S / 2 + 2, MT - S / 2, S, S));
      break;
  }
}

void TVivGDIPZoomControl::SaveToFile(TCustomIniFile& Ini, const String& S) const {
  Ini.WriteBool(S, u"Visible", FVisible);
  Ini.WriteInteger(S, u"Position", FPosition);
  Ini.WriteInteger(S, u"Left", FLeft);
  Ini.WriteInteger(S, u"Top", FTop);
  Ini.WriteInteger(S, u"Width", FWidth);
  Ini.WriteInteger(S, u"Height", FHeight);
  Ini.WriteInteger(S, u"SlideRangeFrom", FSlideRangeFrom);
  Ini.WriteInteger(S, u"SlideRangeTo", FSlideRangeTo);
  Ini.WriteBool(S, u"SlideAutoRange", FSlideAutoRange);
  Ini.WriteInteger(S, u"SlideMaximumRange", FSlideMaximumRange);
  Ini.WriteInteger(S, u"SlideMinimumRange", FSlideMinimumRange);
  Ini.WriteInteger(S, u"SelectionColor", FSelectionColor);
  Ini.WriteInteger(S, u"SelectionOpacity", FSelectionOpacity);
  Ini.WriteInteger(S, u"SliderColor", FSliderColor);
  Ini.WriteInteger(S, u"SliderOpacity", FSliderOpacity);
  Ini.WriteInteger(S, u"Color", FBackGroundColor);
  Ini.WriteInteger(S, u"Opacity", FBackGroundOpacity);
  Ini.WriteInteger(S, u"BorderColor", FBorderColor);
  Ini.WriteInteger(S, u"BorderOpacity", FBorderOpacity);
  Ini.WriteInteger(S, u"SliderType", static_cast<Integer>(FSliderType));
  Ini.WriteInteger(S, u"SliderSize", FSliderSize);
}

void TVivGDIPZoomControl::LoadFromFile(const TCustomIniFile& Ini, const String& S) {
  auto Byte8 = [&](const char16_t* Key, Byte Current) {
    return static_cast<Byte>(std::clamp<Integer>(Ini.ReadInteger(S, Key, Current), 0, 255));
  };
  SetVisible(Ini.ReadBool(S, u"Visible", FVisible));
  SetPosition(
      static_cast<TZoomControlPosition>(std::clamp<Integer>(Ini.ReadInteger(S, u"Position", FPosition), 0, zpCustom)));
  SetLeft(Ini.ReadInteger(S, u"Left", FLeft));
  SetTop(Ini.ReadInteger(S, u"Top", FTop));
  SetWidth(Ini.ReadInteger(S, u"Width", FWidth));
  SetHeight(Ini.ReadInteger(S, u"Height", FHeight));
  SetSlideRangeFrom(Ini.ReadInteger(S, u"SlideRangeFrom", FSlideRangeFrom));
  SetSlideRangeTo(Ini.ReadInteger(S, u"SlideRangeTo", FSlideRangeTo));
  SetSlideAutoRange(Ini.ReadBool(S, u"SlideAutoRange", FSlideAutoRange));
  SetSlideMaximumRange(Ini.ReadInteger(S, u"SlideMaximumRange", FSlideMaximumRange));
  SetSlideMinimumRange(Ini.ReadInteger(S, u"SlideMinimumRange", FSlideMinimumRange));
  SetSelectionColor(Ini.ReadInteger(S, u"SelectionColor", FSelectionColor));
  SetSelectionOpacity(Byte8(u"SelectionOpacity", FSelectionOpacity));
  SetSliderColor(Ini.ReadInteger(S, u"SliderColor", FSliderColor));
  SetSliderOpacity(Byte8(u"SliderOpacity", FSliderOpacity));
  SetColor(Ini.ReadInteger(S, u"Color", FBackGroundColor));
  SetOpacity(Byte8(u"Opacity", FBackGroundOpacity));
  SetBorderColor(Ini.ReadInteger(S, u"BorderColor", FBorderColor));
  SetBorderOpacity(Byte8(u"BorderOpacity", FBorderOpacity));
  SetSliderType(static_cast<TZoomControlSliderType>(
      std::clamp<Integer>(Ini.ReadInteger(S, u"SliderType", static_cast<Integer>(FSliderType)), 0, 2)));
  SetSliderSize(Ini.ReadInteger(S, u"SliderSize", FSliderSize));
}

// ---------------------------------------------------------------- pane
TVivGDIPChartPane::TVivGDIPChartPane(TCollection* Collection)
    : TChartPane(Collection), FZoomControl(std::make_unique<TVivGDIPZoomControl>(this)) {
  FZoomControl->OnChange = [this](TObject*) { ChartChanged(); };
}

TVivGDIPChartPane::~TVivGDIPChartPane() = default;

std::unique_ptr<TVivIzude> TVivGDIPChartPane::CreateChart() {
  auto C = std::make_unique<TVivGDIPChart>(this);
  WireChart(*C);
  return C;
}

void TVivGDIPChartPane::Assign(TPersistent* Source) {
  TChartPane::Assign(Source);
  if (auto* S = dynamic_cast<TVivGDIPChartPane*>(Source)) {
    SetMirror(S->Mirror());
    FZoomControl->Assign(*S->FZoomControl);
  }
}

void TVivGDIPChartPane::SetZoomControl(const TVivGDIPZoomControl& V) {
  if (&V != FZoomControl.get()) FZoomControl->Assign(V);
  ChartChanged();
}

TRect TVivGDIPChartPane::ZoomControlRect() const { return FZoomControl->GetControlRect(SeriesRect()); }

TRect TVivGDIPChartPane::ZoomSliderFromHitRect() const {
  TRect R = FZoomControl->GetSliderFromRect(ZoomControlRect());
  return {R.Left - 5, R.Top, R.Right + 5, R.Bottom};
}

TRect TVivGDIPChartPane::ZoomSliderToHitRect() const {
  TRect R = FZoomControl->GetSliderToRect(ZoomControlRect());
  return {R.Left - 5, R.Top, R.Right + 5, R.Bottom};
}

bool TVivGDIPChartPane::PointInZoomControl(Integer X, Integer Y) const { return ZoomControlRect().Contains({X, Y}); }

bool TVivGDIPChartPane::PointOnZoomSlider(Integer X, Integer Y) const {
  return ZoomSliderFromHitRect().Contains({X, Y}) || ZoomSliderToHitRect().Contains({X, Y});
}

void TVivGDIPChartPane::SaveExtraKeys(TCustomIniFile& Ini, const String& Section) const {
  Ini.WriteBool(Section, u"Mirror", Mirror());
  FZoomControl->SaveToFile(Ini, Section + u".ZoomControl");
}

void TVivGDIPChartPane::LoadExtraKeys(const TCustomIniFile& Ini, const String& Section) {
  const bool M = Ini.ReadBool(Section, u"Mirror", Mirror());
  if (M != Mirror()) SetMirror(M);
  FZoomControl->LoadFromFile(Ini, Section + u".ZoomControl");
}

// ---------------------------------------------------------------- view
void TVivGDIPChartView::UpdateZoomControl() {
  for (Integer I = 0; I < Panes().Count(); ++I) {
    TVivGDIPChartPane* P = Panes().Items(I);
    TVivGDIPZoomControl& Z = P->ZoomControl();
    if (!Z.Visible()) continue;
    TVivGDIPChart& C = Z.Chart();
    // The strip's chart is laid out when it is drawn, not here: its count is
    // dropped, not ended.
    C.BeginUpdate();
    const TScopeExit Done([&C] { C.ResetUpdate(); });
    C.Series().Clear();
    for (Integer J = 0; J < P->Series().Count(); ++J) {
      TVivGDIPChartSerie& S = P->Series().Items(J);
      if ((S.SerieType() != stZoomControl && S.SerieType() != stBoth) || !S.Visible()) continue;
      TVivGDIPChartSerie& Copy = C.Series().Add();
      Copy.Assign(&S);
      Copy.SetSerieType(stNormal);
      Copy.YAxis().SetPosition(yNone);
    }
    if (Z.SlideAutoRange()) {
      C.Range().SetRangeTo(P->Range().MaxRangeTo());
      C.Range().SetRangeFrom(0);
    } else {
      C.Range().SetRangeTo(Z.SlideMaximumRange());
      C.Range().SetRangeFrom(Z.SlideMinimumRange());
    }
    C.Series().SetMode(P->Series().Mode());
    C.Series().ForceInit(true);
  }
}

void TVivGDIPChartView::EndUpdate() {
  TVivIzudeView::EndUpdate();
  UpdateZoomControl();
}

void TVivGDIPChartView::DrawPaneOverlay(TVclChartCanvas& Canvas, Integer Pane) {
  TVivGDIPChartPane* P = Panes().Items(Pane);
  if (P->ZoomControl().Visible()) P->ZoomControl().Draw(Canvas, P->ZoomControlRect(), 1.0, 1.0);
}

void TVivGDIPChartView::Paint() {
  if (!FZoomControlUpdated) {
    FZoomControlUpdated = true;
    UpdateZoomControl();
  }
  TVivIzudeView::Paint();
}

void TVivGDIPChartView::ApplyRangeToPanes(Integer From, Integer To) {
  const TUpdateGuard<TVivIzudeView> Update(*this);
  for (Integer I = 0; I < Panes().Count(); ++I) {
    Panes().Items(I)->Range().SetRangeFrom(From);
    Panes().Items(I)->Range().SetRangeTo(To);
  }
}

void TVivGDIPChartView::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TVivIzudeView::MouseDown(Button, Shift, X, Y);
  const Integer I = PaneAtPoint(X, Y);
  if (I < 0) return;
  TVivGDIPChartPane* P = Panes().Items(I);
  P->FMDzoom = P->PointInZoomControl(X, Y);
  P->FCx = X;
}

void TVivGDIPChartView::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TVivIzudeView::MouseMove(Shift, X, Y);
  const Integer I = PaneAtPoint(X, Y);
  if (I < 0) return;
  TVivGDIPChartPane* P = Panes().Items(I);
  TVivGDIPZoomControl& Z = P->ZoomControl();
  if (!Z.Visible()) return;
  const TRect ZR = P->ZoomControlRect();
  if (!P->FMDzoom) {
    P->FSlFrom = P->FSlTo = P->FSelection = P->FMouseMovedWhenDown = false;
    if (P->PointOnZoomSlider(X, Y)) {
      SetScreenCursor(crSizeWE);
      P->FSlFrom = P->ZoomSliderFromHitRect().Contains({X, Y});
      P->FSlTo = P->ZoomSliderToHitRect().Contains({X, Y});
    } else if (Z.GetSelectionRect(ZR).Contains({X, Y})) {
      SetScreenCursor(crHandPoint);
      P->FSelection = true;
    } else {
      SetScreenCursor(crDefault);
    }
    return;
  }
  P->FMouseMovedWhenDown = true;
  if (P->FSlFrom) {
    P->FSXFrom = X;
  } else if (P->FSlTo) {
    P->FSXTo = X;
  } else if (P->FSelection) {
    P->FSelX = X - P->FCx;
    P->FSXFrom = Z.GetSliderFromRect(ZR).Left;
    P->FSXTo = Z.GetSliderToRect(ZR).Left;
  }
  // During a drag the index stays within the overview's points.
  auto Limited = [&](Integer PX) { return std::max(0, std::min(Z.IndexAt(ZR, PX), Z.Chart().Range().MaxRangeTo())); };
  if (P->FSlFrom) {
    const Integer V = Limited(P->FSXFrom);
    if (Z.AutoUpdate() == auImmediate) ApplyRangeToPanes(V, Z.SlideRangeTo());
    if (OnZoomControlRangeChanging) OnZoomControlRangeChanging(this, I, V, Z.SlideRangeTo());
  } else if (P->FSlTo) {
    const Integer V = Limited(P->FSXTo);
    if (Z.AutoUpdate() == auImmediate) ApplyRangeToPanes(Z.SlideRangeFrom(), V);
    if (OnZoomControlRangeChanging) OnZoomControlRangeChanging(this, I, Z.SlideRangeFrom(), V);
  } else if (P->FSelection) {
    const Integer F = Limited(P->FSXFrom), T = Limited(P->FSXTo);
    if (Z.AutoUpdate() == auImmediate) ApplyRangeToPanes(F, T);
    if (OnZoomControlRangeChanging) OnZoomControlRangeChanging(this, I, F, T);
  }
  Invalidate();
}

void TVivGDIPChartView::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TVivIzudeView::MouseUp(Button, Shift, X, Y);
  const Integer I = PaneAtPoint(X, Y);
  if (I < 0) return;
  TVivGDIPChartPane* P = Panes().Items(I);
  TVivGDIPZoomControl& Z = P->ZoomControl();
  P->FMDzoom = false;
  P->FSelX = 0;
  if (!P->FMouseMovedWhenDown) return;
  const TRect ZR = P->ZoomControlRect();
  bool Moved = false;
  if (P->FSelection) {
    P->FSelection = false;
    Z.SetSlideRangeFrom(Z.IndexAt(ZR, P->FSXFrom));
    Z.SetSlideRangeTo(Z.IndexAt(ZR, P->FSXTo));
    Moved = true;
  } else if (P->FSlFrom) {
    Z.SetSlideRangeFrom(Z.IndexAt(ZR, P->FSXFrom));
    Moved = true;
  } else if (P->FSlTo) {
    Z.SetSlideRangeTo(Z.IndexAt(ZR, P->FSXTo));
    Moved = true;
  }
  if (Moved) {
    if (Z.AutoUpdate() == auRelease) ApplyRangeToPanes(Z.SlideRangeFrom(), Z.SlideRangeTo());
    if (OnZoomControlRangeChanged) OnZoomControlRangeChanged(this, I, Z.SlideRangeFrom(), Z.SlideRangeTo());
  }
  P->FSlFrom = P->FSlTo = P->FMouseMovedWhenDown = false;
  Invalidate();
}
