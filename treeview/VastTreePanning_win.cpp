#include "treeview/VastTreePanning_win.h"

#include <algorithm>

#include "rtl/Dispatcher.h"

namespace {

constexpr const wchar_t* PanningClass = L"VTPanningWindow";

// Which arrows a picture or cursor shows.
struct TArrows {
  bool N, S, W, E, NW, NE, SW, SE;
};

TArrows ArrowsOf(TVTPanningCursor Kind) {
  switch (Kind) {
    case pcMoveAll:
      return {true, true, true, true, false, false, false, false};
    case pcMoveEW:
      return {false, false, true, true, false, false, false, false};
    case pcMoveNS:
      return {true, true, false, false, false, false, false, false};
    case pcMoveN:
      return {true, false, false, false, false, false, false, false};
    case pcMoveS:
      return {false, true, false, false, false, false, false, false};
    case pcMoveW:
      return {false, false, true, false, false, false, false, false};
    case pcMoveE:
      return {false, false, false, true, false, false, false, false};
    case pcMoveNW:
      return {false, false, false, false, true, false, false, false};
    case pcMoveNE:
      return {false, false, false, false, false, true, false, false};
    case pcMoveSW:
      return {false, false, false, false, false, false, true, false};
    default:
      return {false, false, false, false, false, false, false, true};
  }
}

// Draws the round badge with a dot and the arrows in Ink on DC (32 x 32).
void DrawPanningArt(HDC DC, TVTPanningCursor Kind, COLORREF Ink, COLORREF Fill, bool Badge) {
  const TArrows A = ArrowsOf(Kind);
  const TGdiObject Pen(CreatePen(PS_SOLID, 1, Ink));
  const TGdiObject InkBrush(CreateSolidBrush(Ink));
  const TGdiObject FillBrush(CreateSolidBrush(Fill));
  const TSavedDC Saved(DC);  // the pen and brushes leave the DC before they go
  SelectObject(DC, Pen.Get());
  SelectObject(DC, FillBrush.Get());
  if (Badge) Ellipse(DC, 1, 1, 31, 31);
  SelectObject(DC, InkBrush.Get());
  Ellipse(DC, 14, 14, 19, 19);
  auto Tri = [&](POINT P1, POINT P2, POINT P3) {
    POINT Pts[3] = {P1, P2, P3};
    Polygon(DC, Pts, 3);
  };
  if (A.N) Tri({16, 3}, {11, 9}, {21, 9});
  if (A.S) Tri({16, 29}, {11, 23}, {21, 23});
  if (A.W) Tri({3, 16}, {9, 11}, {9, 21});
  if (A.E) Tri({29, 16}, {23, 11}, {23, 21});
  if (A.NW) Tri({4, 4}, {12, 6}, {6, 12});
  if (A.NE) Tri({28, 4}, {20, 6}, {26, 12});
  if (A.SW) Tri({4, 28}, {12, 26}, {6, 20});
  if (A.SE) Tri({28, 28}, {20, 26}, {26, 20});
}

// A monochrome cursor of what Art draws: the mask is white (the screen
// shows through) except where the art is; the colour plane draws the art in
// black with a white outline of one pixel.
TCursorHandle CreateOutlinedCursor(const std::function<void(HDC DC, COLORREF Ink)>& Art) {
  const TWindowDC Screen(nullptr);
  const TMemoryDC DC(Screen.Get());
  const TGdiObject Color(CreateCompatibleBitmap(Screen.Get(), 32, 32));
  const TGdiObject Mask(CreateBitmap(32, 32, 1, 1, nullptr));
  {
    const TSavedDC Saved(DC.Get());  // the bitmaps leave the DC before the cursor is made
    RECT R{0, 0, 32, 32};
    // The outline: the art drawn a pixel larger in every direction.
    const auto Outline = [&](COLORREF Ink) {
      for (int DX = -1; DX <= 1; ++DX)
        for (int DY = -1; DY <= 1; ++DY) {
          SetViewportOrgEx(DC.Get(), DX, DY, nullptr);
          Art(DC.Get(), Ink);
        }
      SetViewportOrgEx(DC.Get(), 0, 0, nullptr);
    };
    SelectObject(DC.Get(), Mask.Get());
    FillRect(DC.Get(), &R, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Outline(RGB(0, 0, 0));
    SelectObject(DC.Get(), Color.Get());
    FillRect(DC.Get(), &R, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    Outline(RGB(255, 255, 255));
    Art(DC.Get(), RGB(0, 0, 0));
  }
  // The cursor copies the bitmaps; ours go at the end of the scope.
  ICONINFO Info{FALSE, 16, 16, static_cast<HBITMAP>(Mask.Get()), static_cast<HBITMAP>(Color.Get())};
  return TCursorHandle(CreateIconIndirect(&Info));
}

// The window's shape: every run of Image's pixels that is not magenta.
TGdiObject ShapeOf(HGDIOBJ Image) {
  const TWindowDC Screen(nullptr);
  const TMemoryDC DC(Screen.Get());
  const TSelectGuard Select(DC.Get(), Image);
  TGdiObject Region(CreateRectRgn(0, 0, 0, 0));
  for (int Y = 0; Y < PanningImageSize; ++Y) {
    int X = 0;
    while (X < PanningImageSize) {
      while (X < PanningImageSize && GetPixel(DC.Get(), X, Y) == PanningTransparent) ++X;
      const int X1 = X;
      while (X < PanningImageSize && GetPixel(DC.Get(), X, Y) != PanningTransparent) ++X;
      if (X > X1) {
        const TGdiObject Run(CreateRectRgn(X1, Y, X, Y + 1));
        CombineRgn(static_cast<HRGN>(Region.Get()), static_cast<HRGN>(Region.Get()), static_cast<HRGN>(Run.Get()),
                   RGN_OR);
      }
    }
  }
  return Region;
}

}  // namespace

TGdiObject CreatePanningBitmap(TVTPanningCursor Kind) {
  const TWindowDC Screen(nullptr);
  const TMemoryDC DC(Screen.Get());
  TGdiObject Bitmap(CreateCompatibleBitmap(Screen.Get(), PanningImageSize, PanningImageSize));
  {
    const TSelectGuard Select(DC.Get(), Bitmap.Get());
    const TGdiObject Clear(CreateSolidBrush(PanningTransparent));
    RECT R{0, 0, PanningImageSize, PanningImageSize};
    FillRect(DC.Get(), &R, static_cast<HBRUSH>(Clear.Get()));
    DrawPanningArt(DC.Get(), Kind, RGB(0, 0, 0), RGB(255, 255, 255), true);
  }
  return Bitmap;
}

TCursorHandle CreatePanningCursor(TVTPanningCursor Kind) {
  return CreateOutlinedCursor([Kind](HDC DC, COLORREF Ink) { DrawPanningArt(DC, Kind, Ink, Ink, false); });
}

TCursorHandle CreateSplitCursor(bool AcrossRows) {
  // Two bars with an arrow pointing away from each: upright bars with
  // arrows to the left and right for a column edge, lying bars with arrows
  // up and down for a row edge.
  return CreateOutlinedCursor([AcrossRows](HDC DC, COLORREF Ink) {
    auto At = [AcrossRows](int X, int Y) { return AcrossRows ? POINT{Y, X} : POINT{X, Y}; };
    const TGdiObject Brush(CreateSolidBrush(Ink));
    const TGdiObject Pen(CreatePen(PS_SOLID, 1, Ink));
    const TSavedDC Saved(DC);  // the pen and brush leave the DC before they go
    auto Fill = [&](int X1, int Y1, int X2, int Y2) {
      const POINT A = At(X1, Y1), B = At(X2, Y2);
      RECT R{std::min(A.x, B.x), std::min(A.y, B.y), std::max(A.x, B.x), std::max(A.y, B.y)};
      FillRect(DC, &R, static_cast<HBRUSH>(Brush.Get()));
    };
    SelectObject(DC, Pen.Get());
    SelectObject(DC, Brush.Get());
    auto Tri = [&](POINT P1, POINT P2, POINT P3) {
      POINT Pts[3] = {At(P1.x, P1.y), At(P2.x, P2.y), At(P3.x, P3.y)};
      Polygon(DC, Pts, 3);
    };
    Fill(14, 7, 15, 26);  // the bars
    Fill(17, 7, 18, 26);
    Fill(9, 15, 14, 18);  // the shafts
    Fill(18, 15, 23, 18);
    Tri({4, 16}, {9, 11}, {9, 21});  // the heads
    Tri({28, 16}, {23, 11}, {23, 21});
  });
}

TPanningWindow::TPanningWindow(HWND Owner, const TPoint& ScreenCentre, HGDIOBJ Image, THandler Handler)
    : FHandler(std::move(Handler)) {
  HINSTANCE Instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW Class{};
  Class.cbSize = sizeof(Class);
  const bool Found = GetClassInfoExW(Instance, PanningClass, &Class);
  if (!Found || Class.lpfnWndProc != DefWindowProcW) {
    if (Found) UnregisterClassW(PanningClass, Instance);
    WNDCLASSEXW New{};
    New.cbSize = sizeof(New);
    New.lpfnWndProc = DefWindowProcW;
    New.hInstance = Instance;
    New.lpszClassName = PanningClass;
    RegisterClassExW(&New);
  }
  FWindow.Reset(CreateWindowExW(WS_EX_TOOLWINDOW, PanningClass, nullptr, WS_POPUP, ScreenCentre.X - 16,
                                ScreenCentre.Y - 16, PanningImageSize, PanningImageSize, Owner, nullptr, Instance,
                                nullptr));
  if (!FWindow) return;
  TGdiObject Region = ShapeOf(Image);
  if (SetWindowRgn(FWindow.Get(), static_cast<HRGN>(Region.Get()), FALSE)) Region.Release();  // the window's now
  SetWindowLongPtrW(FWindow.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(FWindow.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TPanningWindow::WindowProc));
}

TPanningWindow::~TPanningWindow() {
  // No message reaches the object while the window goes.
  if (!FWindow) return;
  SetWindowLongPtrW(FWindow.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
  SetWindowLongPtrW(FWindow.Get(), GWLP_USERDATA, 0);
}

LRESULT CALLBACK TPanningWindow::WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* Self = reinterpret_cast<TPanningWindow*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
  if (!Self || !Self->FHandler) return DefWindowProcW(Wnd, Msg, WParam, LParam);
  TMessage M{Msg, WParam, LParam, 0};
  try {
    Self->FHandler(M);
  } catch (...) {
    HandleUnhandledException(std::current_exception());
  }
  return M.Result;
}
