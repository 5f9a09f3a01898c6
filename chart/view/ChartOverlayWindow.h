#pragma once
// The short-lived borderless top-level windows of the view's mouse
// gestures: the rubber bands of zooming and the image of a dragged pane.
// They never take the focus and let the mouse through to the view.
#include <memory>

#include "rtl/Geometry.h"
#include "rtl/UITypes.h"
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"
#include "vcl/Graphics.h"

class TChartOverlayWindow {
public:
  // A band filled with Color in Style (clNone: the highlight colour),
  // outlined BorderWidth pixels wide in it, translucent at Alpha when
  // AlphaBlend.
  TChartOverlayWindow(TColor Color, TBrushStyle Style, bool AlphaBlend, Byte Alpha, Integer BorderWidth);
  ~TChartOverlayWindow();
  TChartOverlayWindow(const TChartOverlayWindow&) = delete;
  TChartOverlayWindow& operator=(const TChartOverlayWindow&) = delete;

  HWND Handle() const { return FWnd.Get(); }
  // Screen coordinates.
  void SetBounds(const TRect& R);
  TRect Bounds() const { return FBounds; }
  void Show();
  bool Showing() const { return FShowing; }
  // The window shows this picture (taken over) instead of the band fill.
  void SetPicture(std::unique_ptr<TBitmap> Picture);

private:
  static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  void Paint(HDC DC);
  TWindowHandle FWnd;
  TColor FColor;
  TBrushStyle FStyle;
  Integer FBorderWidth;
  TRect FBounds;
  bool FShowing = false;
  std::unique_ptr<TBitmap> FPicture;
};
