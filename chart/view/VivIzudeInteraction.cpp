// The chart view's mouse and keyboard: pane focus, the crosshair and the
// value tracker, navigator buttons and bands, zooming by rubber bands and
// by dragging axes, scrolling and scaling by dragging, moving and sizing
// panes, clicks on legends, axes, points and annotations, the hand cursor
// over clickable parts, point hints, and the arrow and Tab keys.
#include <cmath>

#include "chart/model/ChartHelpers.h"
#include "chart/view/VivIzudeView.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32Handles.h"
#include "rtl/UpdateGuard.h"

namespace {
constexpr UINT kScrollInterval = 50, kZoomOutInterval = 100;
constexpr Integer kDragThreshold = 10;
// The x position (the y position on horizontal charts) along the category
// axis, and the other one.
Integer Along(bool Horz, Integer X, Integer Y) { return Horz ? Y : X; }
Integer Across(bool Horz, Integer X, Integer Y) { return Horz ? X : Y; }
}  // namespace

// ---------------------------------------------------------------- helpers
void TVivIzudeView::SetScreenCursor(TCursor Cursor) {
  if (FForceCursor || !Screen) return;
  // The screen cursor is the program's too (a busy cursor during a long
  // task): the view sets it only when it is free, and gives back only the
  // one it set.
  if (Cursor == crDefault) {
    if (FCursorSet && Screen->Cursor() == FCursorShown) Screen->SetCursor(crDefault);
    FCursorSet = false;
    return;
  }
  if (!FCursorSet && Screen->Cursor() != crDefault) return;
  Screen->SetCursor(Cursor);
  FCursorSet = true;
  FCursorShown = Cursor;
}

Integer TVivIzudeView::SplitterHeightOf(const TChartPane& P) const {
  return P.Splitter().Visible() ? P.Splitter().Height() : 0;
}

bool TVivIzudeView::InPaneBand(const TChartPane& P, Integer Y) const {
  return Y > P.Rectangle().Top - SplitterHeightOf(P) && Y < P.Rectangle().Bottom;
}

void TVivIzudeView::FocusPane(Integer Index) {
  for (Integer I = 0; I < FPanes->Count(); ++I) FPanes->Items(I)->SetFocused(I == Index);
  FFocusedPane = Index;
}

bool TVivIzudeView::IsOnNavigatorLeftButton(Integer X, Integer Y) {
  if (CurrentPane < 0 || CurrentPane >= FPanes->Count()) return false;
  TChartPane& P = *FPanes->Items(CurrentPane);
  TVivIzude& C = P.Chart();
  const TRect R = P.Rectangle();
  const bool Horz = P.Series().IsHorizontal();
  const Integer N = C.Navigator().BottomSize(), S = C.Navigator().ScrollButtonsSize();
  const Integer XB = Horz ? C.YAxis().RightSize() : C.XAxis().BottomSize();
  const Integer YL = Horz ? C.XAxis().BottomSize() : C.YAxis().LeftSize();
  const Integer T = R.Bottom - N - XB - C.Title().BottomSize() - C.Margin().BottomMargin() + 5;
  const Integer L = R.Left + YL + C.Margin().LeftMargin() + 5;
  return Y > T && Y < T + S && X > L && X < L + S;
}

bool TVivIzudeView::IsOnNavigatorRightButton(Integer X, Integer Y) {
  if (CurrentPane < 0 || CurrentPane >= FPanes->Count()) return false;
  TChartPane& P = *FPanes->Items(CurrentPane);
  TVivIzude& C = P.Chart();
  const TRect R = P.Rectangle();
  const bool Horz = P.Series().IsHorizontal();
  const Integer N = C.Navigator().BottomSize(), S = C.Navigator().ScrollButtonsSize();
  const Integer XB = Horz ? C.YAxis().RightSize() : C.XAxis().BottomSize();
  const Integer YR = Horz ? C.XAxis().TopSize() : C.YAxis().RightSize();
  const Integer T = R.Bottom - N - XB - C.Title().BottomSize() - C.Margin().BottomMargin() + 5;
  const Integer Right = R.Right - C.Margin().RightMargin() - YR - 5;
  return Y > T && Y < T + S && X > Right - S && X < Right;
}

// ---------------------------------------------------------------- hit tests
bool TVivIzudeView::IsYPositionChartPoint(Integer X, Integer Y, bool MouseDown, TMouseButton Button) {
  if (FPanes->Count() == 0) return false;
  FFocusedPane = std::clamp<Integer>(FFocusedPane, 0, FPanes->Count() - 1);
  TChartPane& P = *FPanes->Items(FFocusedPane);
  TVivIzude& C = P.Chart();
  const TRect SR = P.Series().SeriesRectangle();
  const bool Horz = P.Series().IsHorizontal();
  const Integer From = C.Range().RangeFrom();
  for (Integer J = 0; J < P.Series().Count(); ++J) {
    TChartSerie& S = P.Series().Items(J);
    if (S.DrawPoints.empty() || S.IsPieLike() || !S.Visible()) continue;
    const TChartType T = S.ChartType();
    Integer PI;
    if (IsXYType(T))
      PI = Horz ? S.GetXYPoint(Y, X) : S.GetXYPoint(X, Y);
    else if (C.XScale() > 0)
      PI = From + RoundI((Along(Horz, X, Y) - (Horz ? SR.Top : SR.Left) - RoundI(C.GetXScaleStart())) / C.XScale());
    else
      PI = From;
    Integer Q = From > 0 ? PI - From : PI;
    if (T == ctArea)
      for (Integer K = 0; K <= Q && K < S.GetPointsCount(); ++K)
        if (!S.GetPoint(K).Defined) --PI, --Q;
    TPoint Centre{0, 0};
    if (Q >= 0 && Q < static_cast<Integer>(S.DrawPoints.size())) Centre = S.DrawPoints[Q];
    if (IsBarType(T)) (Horz ? Centre.Y : Centre.X) += S.GetBarWidth(1) / 2;
    const Integer Half = S.Marker().MarkerSize() / 2;
    if (std::abs(X - Centre.X) > Half || std::abs(Y - Centre.Y) > Half) continue;
    S.Marker().SetSelectedIndex(PI);
    const double Value = S.YToValue(Horz ? Centre.X : Centre.Y, SR);
    if (MouseDown)
      DoSerieMouseDown(this, Button, FFocusedPane, J, PI, Value, Centre.X, Centre.Y);
    else
      DoSerieMouseUp(this, Button, FFocusedPane, J, PI, Value, Centre.X, Centre.Y);
    const TUpdateGuard<TVivIzudeView> Update(*this);
    P.Series().ForceInit(true);
    C.InitializeChart(FScratch, P.Rectangle(), 1.0, 1.0);
    return true;
  }
  return false;
}

bool TVivIzudeView::IsYPosChartAnnotation(TPoint Pos, TChartMouseState State) {
  if (FPanes->Count() == 0) return false;
  FFocusedPane = std::clamp<Integer>(FFocusedPane, 0, FPanes->Count() - 1);
  TChartPane& P = *FPanes->Items(FFocusedPane);
  bool Hit = false;
  for (Integer J = 0; J < P.Series().Count(); ++J) {
    TChartSerie& S = P.Series().Items(J);
    for (Integer A = 0; A < S.Annotations().Count(); ++A) {
      TChartAnnotation& An = S.Annotations().Items(A);
      if (!An.AnnotationRect().Contains(Pos)) continue;
      Hit = true;
      switch (State) {
        case cmsClick:
          DoAnnotationClick(this, FFocusedPane, J, A, An.PointIndex());
          break;
        case cmsMouseDown:
          DoAnnotationMouseDown(this, FFocusedPane, J, A, An.PointIndex());
          break;
        case cmsMouseUp:
          DoAnnotationMouseUp(this, FFocusedPane, J, A, An.PointIndex());
          break;
      }
    }
  }
  return Hit;
}

// ---------------------------------------------------------------- crosshair points
void TVivIzudeView::FillCrossHairPoints(TChartPane& P, Integer X, Integer Y) {
  P.CrossHairPoints.clear();
  TVivIzude& C = P.Chart();
  TChartCrossHairYValues& YV = C.CrossHair().CrossHairYValues();
  const TRect SR = P.Series().SeriesRectangle();
  const bool Horz = P.Series().IsHorizontal();
  const Integer From = C.Range().RangeFrom();
  const Integer I =
      C.XScale() > 0 ? From + RoundI((Along(Horz, X, Y) - (Horz ? SR.Top : SR.Left) - C.GetXScaleStart()) / C.XScale())
                     : From;
  const TChartCrossHairYValuePosition Where = YV.Position();
  auto Finish = [&](TSeriePoint& Pt) {
    Pt.XValueAtCursor = Where.Contains(chAtCursor) ? (Horz ? Y : X) + 2 : -1.0;
    Pt.XValueYAxis = Where.Contains(chYAxis) ? (Horz ? SR.Bottom : SR.Right) : -1.0;
    Pt.XValueAtTracker = FTracker->Left();
  };
  Integer LastPoint = I;
  double LastValue = 0;
  if (YV.ShowSerieValues()) {
    TChartSeries& Series = P.Series();
    // Running sums of the stacked types, by type.
    double StackSum[ChartTypeCount] = {};
    for (Integer J = 0; J < Series.Count(); ++J) {
      TChartSerie& S = Series.Items(J);
      const TChartType T = S.ChartType();
      const Integer K = IsXYType(T) ? (Horz ? S.GetXYPoint(Y, X) : S.GetXYPoint(X, Y)) : I;
      const TChartPoint CP = S.GetChartPoint(K);
      if (!CP.Defined) continue;
      double Value = CP.SingleValue;
      double Shown = Value;
      const Integer SameType = Series.GetCountChartType(T);
      if ((T == ctStackedBar || T == ctStackedArea) && SameType >= 2) {
        StackSum[T] += Value;
        Shown = StackSum[T];
      } else if (T == ctStackedPercArea || T == ctStackedPercBar) {
        if (SameType < 2) {
          Shown = S.GetStackedPercValue(Value, K);
        } else {
          double Sum = 0;
          for (Integer M = 0; M < Series.Count(); ++M)
            if (Series.Items(M).ChartType() == T) Sum += Series.Items(M).GetChartPoint(K).SingleValue;
          StackSum[T] += Sum == 0 ? 0 : Value / Sum * 100;
          Shown = StackSum[T];
        }
      }
      TSeriePoint Pt;
      Pt.Point = K;
      Pt.Serie = J;
      Pt.PointType = cspSerie;
      Pt.SerieValue = Shown;
      Pt.YValue = S.ValueToY(S.Logarithmic() ? SafeLog10(Shown) : Shown, SR);
      Finish(Pt);
      P.CrossHairPoints.push_back(Pt);
      LastPoint = K;
      LastValue = Shown;
    }
  }
  const TRect R = P.Rectangle();
  const bool Inside = Horz ? (X > R.Left && X < R.Right) : (Y > R.Top && Y < R.Bottom);
  if (YV.ShowYPosValue() && Inside) {
    TSeriePoint Pt;
    Pt.PointType = cspYPos;
    Pt.YValue = Horz ? X : Y;
    Pt.Serie = P.FirstVisibleSerie();
    Pt.Point = LastPoint;
    Pt.SerieValue = LastValue;
    Finish(Pt);
    P.CrossHairPoints.push_back(Pt);
  }
}

// ---------------------------------------------------------------- press
void TVivIzudeView::NavigatorPress(TChartPane& P, TShiftState Shift, Integer X) {
  P.DragZoom = P.LeftNavigatorButtonDown = P.RightNavigatorButtonDown = false;
  TChartRange& Rg = P.Range();
  const Integer Step = P.Navigator().ScrollStep();
  if (IsOnNavigatorLeftButton(FPress.X, FPress.Y)) {
    P.Navigator().SetLeftButtonState(cnbDown);
    P.LeftNavigatorButtonDown = true;
    P.ScrollTimer().SetInterval(kScrollInterval);
    P.ScrollTimer().SetEnabled(true);
    DoLeftScroll(this, CurrentPane, -Step, Rg.RangeFrom(), Rg.RangeTo());
  } else if (IsOnNavigatorRightButton(FPress.X, FPress.Y)) {
    P.Navigator().SetRightButtonState(cnbDown);
    P.RightNavigatorButtonDown = true;
    P.ScrollTimer().SetInterval(kScrollInterval);
    P.ScrollTimer().SetEnabled(true);
    DoRightScroll(this, CurrentPane, Step, Rg.RangeFrom(), Rg.RangeTo());
  } else {
    P.DragZoom = true;
  }
  if (Shift.Contains(ssShift) && P.DragZoom) {
    // The band spans the series area's height; its left edge and width
    // follow the mouse.
    FZoomWindow = std::make_unique<TChartOverlayWindow>(FZoomColor, FZoomStyle, P.Navigator().AlphaBlend(),
                                                        P.Navigator().AlphaBlendValue(), 2);
    const TRect SR = P.SeriesRect();
    const TPoint TL = ClientToScreen({X, SR.Top});
    FZoomWindow->SetBounds({TL.X, TL.Y, TL.X + 1, TL.Y + SR.Height()});
  } else if (!Shift.Contains(ssShift)) {
    P.NormalZoom = true;
  }
}

void TVivIzudeView::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (FPanes->Count() == 0) return;
  IsYPositionChartPoint(X, Y, true, Button);
  IsYPosChartAnnotation({X, Y}, cmsMouseDown);
  FPress = {X, Y};
  FRegionTop = FRegionBottom = Y;
  FSplitterDrag = false;
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartPane& P = *FPanes->Items(I);
    if (!P.Visible() || !InPaneBand(P, Y)) continue;
    CurrentPane = I;
    FCaptured = true;
    if (P.OnNavigator) {
      P.MouseDownOnNavigator = true;
      if (Shift.Contains(ssCtrl)) {
        P.ZoomOutTimer().SetInterval(kZoomOutInterval);
        P.ZoomOutTimer().SetEnabled(true);
      }
    } else if (I > 0 && Y < P.Rectangle().Top) {
      // On the splitter above the pane: the nearest visible pane above moves
      // with it.
      for (Integer M = I - 1; M >= 0; --M)
        if (FPanes->Items(M)->Visible()) {
          FMovingPane = M;
          break;
        }
      if (FMovingPane >= 0) {
        FSplitterDrag = true;
        FMovingPaneHeight = FPanes->Items(FMovingPane)->PixelHeight();
        FCurrentPaneHeight = P.PixelHeight();
        FSplitterPressY = Y;
      }
    }
    break;
  }
  if (CurrentPane < 0 || CurrentPane >= FPanes->Count()) return;
  TChartPane& P = *FPanes->Items(CurrentPane);
  if (P.MouseDownOnNavigator) NavigatorPress(P, Shift, X);
  const TRect SR = P.SeriesRect();
  const bool Strictly = X > SR.Left && X < SR.Right && Y > SR.Top && Y < SR.Bottom;
  if (P.CtrlZooming() != czNone && (Shift.Contains(ssCtrl) || P.ZoomingTouchMode()) && Strictly &&
      CurrentPane == FFocusedPane) {
    FRegionWindow = std::make_unique<TChartOverlayWindow>(FZoomColor, FZoomStyle, P.Navigator().AlphaBlend(),
                                                          P.Navigator().AlphaBlendValue(), 0);
    const TPoint At = ClientToScreen({X, Y});
    FRegionWindow->SetBounds({At.X, At.Y, At.X + 1, At.Y + 1});
  }
  if (FSplitterDrag) {
    SetScreenCursor(crSizeNS);
  } else {
    FDragStart = {X, Y};
    FDragClickY = Y;
    FPressedOnSerie = SR.Contains({X, Y});
    FPressedOnAxis = !FPressedOnSerie;
  }
  if (TabStop() && FFocusedPane >= 0 && FFocusedPane < FPanes->Count()) {
    FocusPane(CurrentPane);
    DoPaneSelected(CurrentPane);
    Invalidate();
    if (CanFocus()) SetFocus();
  }
}

// ---------------------------------------------------------------- move
void TVivIzudeView::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FPanes->Count() == 0) return;
  CurrentPane = std::clamp<Integer>(CurrentPane, 0, FPanes->Count() - 1);
  TChartPane& CP = *FPanes->Items(CurrentPane);
  const TRect CSR = CP.SeriesRect();
  const bool CHorz = CP.Series().IsHorizontal();

  // 1. The Ctrl rubber band, and nothing else on this move.
  if (CP.CtrlZooming() != czNone && (Shift.Contains(ssCtrl) || CP.ZoomingTouchMode())) {
    const bool Strictly = X > CSR.Left && X < CSR.Right && Y > CSR.Top && Y < CSR.Bottom;
    if (Strictly && CurrentPane == FFocusedPane && FRegionWindow) {
      const TPoint A = ClientToScreen({std::min(X, FPress.X), std::min(Y, FPress.Y)});
      FRegionWindow->SetBounds({A.X, A.Y, A.X + std::abs(X - FPress.X), A.Y + std::abs(Y - FPress.Y)});
      FRegionWindow->Show();
      if (Y < FPress.Y) FRegionTop = Y;
      if (Y > FPress.Y) FRegionBottom = Y;
    }
    return;
  }

  if (CP.OnNavigator && CP.MouseDownOnNavigator) {
    // 2. Dragging on the navigator: the Shift band, or a zoom.
    if (FZoomWindow && CP.DragZoom) {
      if (X > CSR.Left && X < CSR.Right) {
        const TRect B = FZoomWindow->Bounds();
        const TPoint A = ClientToScreen({std::min(X, FPress.X), 0});
        FZoomWindow->SetBounds({A.X, B.Top, A.X + std::abs(X - FPress.X), B.Bottom});
        FZoomWindow->Show();
      }
    } else if (CP.NormalZoom) {
      Integer Visible = 0;
      for (Integer I = 0; I < FPanes->Count(); ++I) Visible += FPanes->Items(I)->Visible() ? 1 : 0;
      const Integer D = CHorz ? Y - FPress.Y : X - FPress.X;
      if (FPanesSynched && Visible > 1) {
        for (Integer I = 0; I < FPanes->Count(); ++I) FPanes->Items(I)->NormalZoom = true;
        for (Integer I = 0; I < FPanes->Count(); ++I) ZoomXAxisByDrag(I, D, 0);
      } else {
        ZoomXAxisByDrag(CurrentPane, D, 0);
      }
      (CHorz ? FPress.Y : FPress.X) = CHorz ? Y : X;
    }
  } else {
    // 3. Hovering: crosshairs, tracker, navigator states, splitter cursor.
    CP.Navigator().SetLeftButtonState(IsOnNavigatorLeftButton(X, Y) ? cnbHot : cnbNormal);
    CP.Navigator().SetRightButtonState(IsOnNavigatorRightButton(X, Y) ? cnbHot : cnbNormal);
    if (!FSplitterDrag) {
      for (Integer I = 0; I < FPanes->Count(); ++I) {
        TChartPane& P = *FPanes->Items(I);
        if (!P.Visible()) continue;
        TVivIzude& C = P.Chart();
        const bool Shown = C.CrossHair().Visible();
        P.CrossHairPos = {X, Y};
        P.CrossHairPoints.clear();
        const TRect SR = P.SeriesRect();
        const bool Horz = P.Series().IsHorizontal();
        // The area of the crosshair: across the series area, and within the
        // pane unless the crosshairs of all panes move together.
        const TRect PR = P.Rectangle();
        const bool InArea =
            Horz ? Y > SR.Top && Y < SR.Bottom && (FVerticalCrossHairsSynched || (X > PR.Left && X < PR.Right))
                 : X > SR.Left && X < SR.Right && (FVerticalCrossHairsSynched || (Y > PR.Top && Y < PR.Bottom));
        if (Shown && InArea) {
          FillCrossHairPoints(P, X, Y);
          P.SetCrossHairLines(true);
          Invalidate();
        } else if (P.CrossHairLines()) {
          P.SetCrossHairLines(false);
          if (Shown) Invalidate();
        }
        P.OnNavigator = false;
        if (InPaneBand(P, Y)) FPaneUnderMouse = I;
        const TRect R = P.Rectangle();
        if (!FPressedOnAxis && !FPressedOnSerie && !P.MouseDownOnNavigator && C.Navigator().Visible()) {
          const Integer Base =
              P.PixelHeight() + R.Top - C.XAxis().BottomSize() - C.Title().BottomSize() - C.Margin().BottomMargin();
          P.OnNavigator = Y > Base - C.Navigator().Size() && Y < Base && X > SR.Left && X < SR.Right;
        }
        if (InPaneBand(P, Y)) {
          FSplitterHeight = SplitterHeightOf(P);
          if (!FCaptured) {
            const bool InBand = I > 0 && Y < R.Top;
            SetScreenCursor(InBand ? crSizeNS : crDefault);
            if (!InBand) FSplitterDrag = false;
          }
        }
      }
      if (FTracker->Visible()) FTracker->SetValues();
      if (FCaptured && (FPressedOnAxis || FPressedOnSerie) &&
          (std::abs(X - FDragStart.X) > kDragThreshold || std::abs(Y - FDragStart.Y) > kDragThreshold))
        DragGestures(CP, Shift, X, Y);
    }
  }
  if (FSplitterDrag && FCaptured) SplitterDrag(Y);
  if (FEnableInteraction) ClickableCursor(X, Y);
}

void TVivIzudeView::DragGestures(TChartPane& P, TShiftState Shift, Integer X, Integer Y) {
  TVivIzude& C = P.Chart();
  const TRect SR = P.SeriesRect(), R = P.Rectangle();
  const bool Horz = P.Series().IsHorizontal();
  if (Shift.Contains(ssShift) && P.Options().Contains(poMoving)) {
    SetScreenCursor(crDrag);
    if (!FDragWindow) {
      FDragWindow = std::make_unique<TChartOverlayWindow>(clBlack, bsClear, FDragAlphaBlend, FDragAlphaBlendValue, 4);
      const Integer W = ClientWidth(), H = R.Height();
      auto Image = std::make_unique<TBitmap>(std::max<Integer>(W, 1), std::max<Integer>(H, 1));
      {
        const TWindowDC DC(Handle());
        BitBlt(Image->Canvas()->Handle(), 0, 0, W, H, DC.Get(), 0, R.Top, SRCCOPY);
      }
      FDragWindow->SetPicture(std::move(Image));
      const TPoint A = ClientToScreen({0, SR.Top});
      FDragWindowTop = A.Y;
      FDragWindow->SetBounds({A.X, A.Y, A.X + W, A.Y + H});
      FDragWindow->Show();
    }
    const TRect B = FDragWindow->Bounds();
    const Integer Top = FDragWindowTop + (Y - FDragClickY);
    FDragWindow->SetBounds({B.Left, Top, B.Right, Top + B.Height()});
    return;
  }
  const TPoint M{X, Y};
  const bool InSeries = SR.Contains(M);
  // Over a y axis: its band beside the series area, along the series area.
  const bool OverYAxis =
      Horz ? (X > SR.Left && X < SR.Right && ((Y > R.Top && Y < SR.Top) || (Y > SR.Bottom && Y < R.Bottom)))
           : (Y > SR.Top && Y < SR.Bottom && ((X > R.Left && X < SR.Left) || (X > SR.Right && X < R.Right)));
  if (P.Options().Contains(poVertScale) && FPressedOnAxis && OverYAxis) {
    if (Horz)
      P.ScaleYAxes(FPress.X, X);
    else
      P.ScaleYAxes(FPress.Y, Y);
    FPress = M;
  }
  if (P.Options().Contains(poVertScroll) && FPressedOnSerie && InSeries) {
    if (Horz)
      P.ScrollYAxes(FPress.X, X);
    else
      P.ScrollYAxes(FPress.Y, Y);
  }
  if (P.Options().Contains(poHorzScroll) && FPressedOnSerie && InSeries) {
    const Integer D = std::abs(Along(Horz, FPress.X, FPress.Y) - Along(Horz, X, Y));
    P.PixelsMoved = D;
    if (D > RoundI(C.XScale())) {
      const bool Backward = Along(Horz, X, Y) < Along(Horz, FPress.X, FPress.Y);
      for (Integer I = 0; I < FPanes->Count(); ++I) {
        TChartPane& Q = *FPanes->Items(I);
        if (!FPanesSynched && &Q != &P) continue;
        Q.Series().SetMode(cmHorizontalScrolling);
        if (Q.Chart().XScale() != 0) {
          const Integer N = RoundI(D / Q.Chart().XScale());
          const Integer Delta = Backward ? N : -N;
          Q.SetVisibleRange(Q.Range().RangeFrom() + Delta, Q.Range().RangeTo() + Delta);
        }
        Q.Series().ForceInit(true);
        Q.Chart().InitializeChart(FScratch, Q.Rectangle(), 1.0, 1.0);
        DoHorizontalScroll(this, FPaneUnderMouse, D, Q.Range().RangeFrom(), Q.Range().RangeTo());
      }
      (Horz ? FPress.Y : FPress.X) = Along(Horz, X, Y);
    }
  }
  (Horz ? FPress.X : FPress.Y) = Across(Horz, X, Y);
  if (P.Options().Contains(poHorzScale) && FPressedOnAxis) {
    const TChartXAxis& XA = C.XAxis();
    bool OverXAxis;
    if (!Horz)
      OverXAxis = Y > R.Bottom - XA.BottomSize() ||
                  (Y > SR.Bottom && Y < SR.Bottom + C.Navigator().BottomSize() && Y < R.Bottom && X > SR.Left &&
                   X < SR.Right) ||
                  (Y > R.Top && Y < R.Top + XA.TopSize() && Y < SR.Top && X > SR.Left && X < SR.Right);
    else
      OverXAxis = X > R.Right - C.YAxis().LeftSize() ||
                  (X > R.Left && X < R.Left + C.YAxis().LeftSize() && X < SR.Left && Y > SR.Top && Y < SR.Bottom);
    if (OverXAxis && XA.Position() != xNone && XA.Size() != 0) {
      const Integer D = Along(Horz, X, Y) - Along(Horz, FPress.X, FPress.Y);
      if (FPanesSynched) {
        for (Integer I = 0; I < FPanes->Count(); ++I) FPanes->Items(I)->NormalZoom = true;
        for (Integer I = 0; I < FPanes->Count(); ++I) ZoomXAxisByDrag(I, D, 0);
      } else {
        P.NormalZoom = true;
        ZoomXAxisByDrag(CurrentPane, D, 0);
      }
      (Horz ? FPress.Y : FPress.X) = Along(Horz, X, Y);
    }
  }
}

void TVivIzudeView::ZoomXAxisByDrag(Integer PaneIndex, Integer To, Integer From) {
  if (PaneIndex < 0 || PaneIndex >= FPanes->Count()) return;
  TChartPane& P = *FPanes->Items(PaneIndex);
  if (!P.NormalZoom || !P.Visible()) return;
  const Integer D = To - From;
  P.PixelsMoved = D;
  TChartRange& Rg = P.Range();
  const Integer Width = Rg.RangeTo() - Rg.RangeFrom();
  if (Width > 5) {
    if (Width - 2 * D > 4)
      P.SetVisibleRange(Rg.RangeFrom() + D, Rg.RangeTo() - D);
    else
      Rg.SetRangeFrom(Rg.RangeTo() - 5);
  } else if (D < 0) {
    P.SetVisibleRange(Rg.RangeFrom() + D, Rg.RangeTo() - D);
  }
  P.Series().ForceInit(true);
  P.Chart().InitializeChart(FScratch, P.Rectangle(), 1.0, 1.0);
  DoXScaleZoom(this, PaneIndex, P.Chart().XScale());
}

void TVivIzudeView::SplitterDrag(Integer Y) {
  if (CurrentPane < 0 || CurrentPane >= FPanes->Count() || FMovingPane < 0 || FMovingPane >= FPanes->Count()) return;
  const Integer Delta = Y - FSplitterPressY;
  const Integer Hm = FMovingPaneHeight, Hc = FCurrentPaneHeight;
  Integer NewMoving = Hm + Delta, NewCurrent = Hc - Delta;
  if (NewMoving < 0)
    NewMoving = 0, NewCurrent = Hm + Hc;
  else if (NewCurrent < 0)
    NewMoving = Hm + Hc, NewCurrent = 0;
  bool Allow = true;
  DoPaneSized(CurrentPane, FMovingPane, NewCurrent, NewMoving, Allow);
  if (!Allow) return;
  auto Apply = [&](TChartPane& P, Integer Size) {
    if (P.HeightType() == htPercentage)
      P.SetHeight(Height() > 0 ? double(Size) / Height() * 100 : 0);
    else
      P.SetHeight(Size);
  };
  Apply(*FPanes->Items(CurrentPane), NewCurrent);
  Apply(*FPanes->Items(FMovingPane), NewMoving);
  UpdatePaneRects();
  for (Integer I = 0; I < FPanes->Count(); ++I)
    FPanes->Items(I)->Chart().InitializeChart(FScratch, FPanes->Items(I)->Rectangle(), 1.0, 1.0);
  Invalidate();
}

void TVivIzudeView::ClickableCursor(Integer X, Integer Y) {
  bool Clickable = false;
  TChartSeriePoint Hovered;
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartPane& P = *FPanes->Items(I);
    if (!P.Visible()) continue;
    TVivIzude& C = P.Chart();
    const bool Legend = C.GetLegendItemAtXY(X, Y) != nullptr;
    const TChartSeriePoint PieLegend = C.GetPieLegendItemAtXY(X, Y);
    const bool OnPieLegend = PieLegend.Serie != -1 && PieLegend.Point != -1;
    if (Legend && OnLegendClick) Clickable = true;
    if (OnPieLegend && OnPieLegendClick) Clickable = true;
    if (OnXAxisClick) {
      const TXAxisRangeValue V = C.GetXAxisValue(X, Y, P.Rectangle());
      if (V.Serie != -1 && V.RangeIndex != -1) Clickable = true;
    }
    if (OnYAxisClick && C.GetYAxisValue(X, Y, P.Rectangle()).Serie != -1) Clickable = true;
    if (!Legend && !OnPieLegend) {
      // A hover test: it selects nothing.
      bool Found = false;
      const TChartSeriePoint Pt = XYToSeriePoint(X, Y, I, Found, true);
      if (Pt.Serie != -1 && Pt.Point != -1) {
        Hovered = Pt;
        if (OnSerieIndexClick) Clickable = true;
      }
    }
  }
  if (Clickable) SetScreenCursor(FClickCursor);
  if (Hovered.Serie != FHintPoint.Serie || Hovered.Point != FHintPoint.Point) {
    FHintPoint = Hovered;
    if (Application) Application->CancelHint();
  }
}

// ---------------------------------------------------------------- release
void TVivIzudeView::ClickEvents(TMouseButton Button, Integer X, Integer Y) {
  // The popup goes only when no pane showed it: a click hits one pane, and
  // the others must not hide what that one just showed.
  bool PopupShown = false;
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    TChartPane& P = *FPanes->Items(I);
    if (!P.Visible()) continue;
    TVivIzude& C = P.Chart();
    TChartSerie* Legend = C.GetLegendItemAtXY(X, Y);
    if (Legend && OnLegendClick) OnLegendClick(this, I, Legend->Index(), Legend->LegendText());
    const TChartSeriePoint PieLegend = C.GetPieLegendItemAtXY(X, Y);
    const bool OnPieLegend = PieLegend.Serie != -1 && PieLegend.Point != -1;
    if (OnPieLegend && OnPieLegendClick) OnPieLegendClick(this, I, PieLegend.Serie, PieLegend.Point);
    const TXAxisRangeValue XV = C.GetXAxisValue(X, Y, P.Rectangle());
    if (XV.Serie != -1 && XV.RangeIndex != -1 && OnXAxisClick) OnXAxisClick(this, I, XV.Serie, XV.RangeIndex);
    const TYAxisRangeValue YV = C.GetYAxisValue(X, Y, P.Rectangle());
    if (YV.Serie != -1 && OnYAxisClick) OnYAxisClick(this, I, YV.Serie, YV.ValueStr, YV.Value, YV.Mode);
    if (!Legend && !OnPieLegend) {
      bool Found = false;
      const TChartSeriePoint Pt = XYToSeriePoint(X, Y, I, Found);
      if (Pt.Serie != -1 && Pt.Point != -1) {
        if (OnSelectSerieIndex) OnSelectSerieIndex(this, I, Pt.Serie, Pt.Point);
        if (OnSerieIndexClick) OnSerieIndexClick(this, I, Pt.Serie, Pt.Point);
        const TChartPopupActivateMode Mode = FPopup->ActivateMode();
        const bool Fits =
            Mode == amBoth || (Mode == amMouseLeft && Button == mbLeft) || (Mode == amMouseRight && Button == mbRight);
        if (FPopup->Enabled() && Fits && Pt.Serie < C.Series().Count()) {
          ShowToolBarPopupAtSeries(&C.Series().Items(Pt.Serie));
          PopupShown = true;
        }
      }
    }
  }
  if (FPopup->Enabled() && !PopupShown) HideToolBarPopup();
}

void TVivIzudeView::EndGesture(TShiftState Shift, Integer X, Integer Y) {
  TChartPane& CP = *FPanes->Items(CurrentPane);
  if (!CP.OnNavigator) {
    if (!FSplitterDrag && FCaptured) {
      Integer Target = -1;
      for (Integer I = 0; I < FPanes->Count() && Target < 0; ++I) {
        TChartPane& P = *FPanes->Items(I);
        if (I != CurrentPane && P.Visible() && Y >= P.Rectangle().Top - SplitterHeightOf(P) &&
            Y <= P.Rectangle().Bottom)
          Target = I;
      }
      if (Shift.Contains(ssShift) && Target >= 0 && CP.Options().Contains(poMoving)) {
        const Integer From = CurrentPane;
        CP.SetIndex(Target);
        CurrentPane = Target;
        DoPaneMoved(this, From, Target);
        UpdatePaneRects();
        Invalidate();
      }
    }
  } else if (FZoomWindow && CP.DragZoom && CP.CtrlZooming() != czNone) {
    for (Integer I = 0; I < FPanes->Count(); ++I) {
      if (!FPanesSynched && I != CurrentPane) continue;
      DoZoomSelection(this, I, FPress.X, FPress.Y, X, Y);
      FPanes->Items(I)->DoZoomIn(FPress.X, FPress.Y, X, Y);
    }
    Invalidate();
  }
}

void TVivIzudeView::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (FDesignTime) {
    DesignHelperClick(X, Y);
    return;
  }
  if (FPanes->Count() == 0) return;
  if (std::abs(X - FPress.X) < 2 && std::abs(Y - FPress.Y) < 2 && FEnableInteraction)
    ClickEvents(Button, X, Y);
  else if (FPopup->Enabled())
    HideToolBarPopup();
  IsYPositionChartPoint(X, Y, false, Button);
  IsYPosChartAnnotation({X, Y}, cmsMouseUp);
  FRelease = {X, Y};
  CurrentPane = std::clamp<Integer>(CurrentPane, 0, FPanes->Count() - 1);
  EndGesture(Shift, X, Y);
  TChartPane& CP = *FPanes->Items(CurrentPane);
  CP.OnNavigator = CP.MouseDownOnNavigator = false;
  CP.ScrollTimer().SetEnabled(false);
  CP.ZoomOutTimer().SetEnabled(false);
  CP.LeftNavigatorButtonDown = CP.RightNavigatorButtonDown = false;
  CP.Navigator().SetLeftButtonState(cnbNormal);
  CP.Navigator().SetRightButtonState(cnbNormal);
  FCaptured = FSplitterDrag = FPressedOnAxis = FPressedOnSerie = false;
  FMovingPane = -1;
  if (FRegionWindow) {
    for (Integer I = 0; I < FPanes->Count(); ++I) {
      TChartPane& P = *FPanes->Items(I);
      if ((!FPanesSynched && I != CurrentPane) || P.CtrlZooming() == czNone) continue;
      DoZoomSelection(this, I, FPress.X, FRegionTop, X, FRegionBottom);
      P.DoZoomIn(FPress.X, FRegionTop, X, FRegionBottom);
    }
    FRegionWindow.reset();
    Invalidate();
  }
  FDragWindow.reset();
  FZoomWindow.reset();
  // Back to the controls' own cursors (a fixed screen cursor would stay on
  // every control of the program).
  SetScreenCursor(crDefault);
}

void TVivIzudeView::MouseLeave() {
  TCustomControl::MouseLeave();
  for (Integer I = 0; I < FPanes->Count(); ++I) FPanes->Items(I)->SetCrossHairLines(false);
  SetScreenCursor(crDefault);
}

// ---------------------------------------------------------------- click, focus, hint
void TVivIzudeView::Click() {
  TCustomControl::Click();
  if (FPanes->Count() == 0) return;
  if (Mouse) IsYPosChartAnnotation(ScreenToClient(Mouse->CursorPos()), cmsClick);
}

void TVivIzudeView::DoEnter() {
  TCustomControl::DoEnter();
  if (FPanes->Count() == 0) return;
  Integer I = FFocusedPane < 0 ? 0 : std::min(FFocusedPane, FPanes->Count() - 1);
  FocusPane(I);
  DoPaneSelected(I);
  Invalidate();
}

void TVivIzudeView::DoExit() {
  TCustomControl::DoExit();
  for (Integer I = 0; I < FPanes->Count(); ++I) FPanes->Items(I)->SetFocused(false);
  Invalidate();
}

void TVivIzudeView::HintShow(THintInfo& Info) {
  TCustomControl::HintShow(Info);
  for (Integer I = 0; I < FPanes->Count(); ++I) {
    bool Found = false;
    const TChartSeriePoint Pt = XYToSeriePoint(Info.CursorPos.X, Info.CursorPos.Y, I, Found, true);
    if (Pt.Serie == -1 || Pt.Point == -1) continue;
    TChartSerie& S = FPanes->Items(I)->Series().Items(Pt.Serie);
    String Hint = S.Name() + u" Point Value: " + FloatToStr(S.GetPoint(Pt.Point).SingleValue);
    if (OnSerieIndexHint) OnSerieIndexHint(this, I, Pt.Serie, Pt.Point, Hint);
    Info.HintStr = Hint;
  }
  Info.ReshowTimeout = 0;
}

// ---------------------------------------------------------------- keys
void TVivIzudeView::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const Integer N = FPanes->Count();
  if (N == 0) return;
  const bool Focused = FFocusedPane >= 0 && FFocusedPane < N;
  const bool PressPaneOk = CurrentPane >= 0 && CurrentPane < N;
  switch (Key) {
    case VK_TAB: {
      const bool Back = Shift.Contains(ssShift);
      const Integer Next = (Focused ? FFocusedPane : (Back ? N : -1)) + (Back ? -1 : 1);
      if (Next < 0 || Next >= N) {
        // Past the last pane (the first going back) the focus leaves the view.
        if (TWinControl* P = Parent()) PostMessageW(GetAncestor(P->Handle(), GA_ROOT), WM_NEXTDLGCTL, Back ? 1 : 0, 0);
      } else {
        FocusPane(Next);
        DoPaneSelected(Next);
        Invalidate();
      }
      break;
    }
    case VK_LEFT:
    case VK_RIGHT: {
      const bool Left = Key == VK_LEFT;
      if (Shift.Contains(ssShift)) {
        const Integer D = Left ? 2 : -2;
        if (FPanesSynched) {
          for (Integer I = 0; I < N; ++I)
            if (FPanes->Items(I)->Options().Contains(poHorzScale)) {
              FPanes->Items(I)->NormalZoom = true;
              ZoomXAxisByDrag(I, D, 0);
            }
        } else if (Focused && (Left ? PressPaneOk && FPanes->Items(CurrentPane)->Options().Contains(poHorzScale)
                                    : FPanes->Items(FFocusedPane)->Options().Contains(poHorzScale))) {
          FPanes->Items(FFocusedPane)->NormalZoom = true;
          ZoomXAxisByDrag(FFocusedPane, D, 0);
        }
      } else {
        auto Step = [&](Integer I) {
          TChartPane& P = *FPanes->Items(I);
          P.LeftNavigatorButtonDown = Left;
          P.RightNavigatorButtonDown = !Left;
          P.DoScrolling(-1, I, false);
          P.LeftNavigatorButtonDown = P.RightNavigatorButtonDown = false;
        };
        if (FPanesSynched) {
          for (Integer I = 0; I < N; ++I)
            if (FPanes->Items(I)->Options().Contains(poHorzScroll)) Step(I);
        } else if (Focused && (Left ? PressPaneOk && FPanes->Items(CurrentPane)->Options().Contains(poHorzScroll)
                                    : FPanes->Items(FFocusedPane)->Options().Contains(poHorzScroll))) {
          Step(FFocusedPane);
        }
      }
      Invalidate();
      break;
    }
    case VK_UP:
    case VK_DOWN: {
      if (!Focused) break;
      TChartPane& P = *FPanes->Items(FFocusedPane);
      const TRect SR = P.SeriesRect();
      const Integer M = SR.Top + (SR.Bottom - SR.Top) / 2, H = P.PixelHeight() / 10;
      const Integer To = Key == VK_UP ? M + H : M - H;
      if (Shift.Contains(ssShift))
        P.ScaleYAxes(M, To);
      else
        P.ScrollYAxes(M, To);
      Invalidate();
      break;
    }
    default:
      break;
  }
}

void TVivIzudeView::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    TCustomControl::WndProc(Message);
    // Tab moves between panes and the arrows scroll: the view wants them.
    Message.Result |= DLGC_WANTTAB | DLGC_WANTARROWS;
    return;
  }
  if (Message.Msg == CM_DESIGNHITTEST) {
    TCustomControl::WndProc(Message);
    DesignHitTest(Message);
    return;
  }
  TCustomControl::WndProc(Message);
}
