#include "treeview/VastTreePanning_win.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr const wchar_t* PanningClass = L"VTPanningWindow";

// Which arrows a picture or cursor shows.
struct TArrows {
  bool N, S, W, E, NW, NE, SW, SE;
};

TArrows ArrowsOf(TVTPanningCursor Kind) {
  switch (Kind) {
    case pcMoveAll: return {true, true, true, true, false, false, false, false};
    case pcMoveEW: return {false, false, true, true, false, false, false, false};
    case pcMoveNS: return {true, true, false, false, false, false, false, false};
    case pcMoveN: return {true, false, false, false, false, false, false, false};
    case pcMoveS: return {false, true, false, false, false, false, false, false};
    case pcMoveW: return {false, false, true, false, false, false, false, false};
    case pcMoveE: return {false, false, false, true, false, false, false, false};
    case pcMoveNW: return {false, false, false, false, true, false, false, false};
    case pcMoveNE: return {false, false, false, false, false, true, false, false};
    case pcMoveSW: return {false, false, false, false, false, false, true, false};
    default: return {false, false, false, false, false, false, false, true};
  }
}

// Draws the round badge with a dot and the arrows in Ink on DC (32 x 32).
void DrawPanningArt(HDC DC, TVTPanningCursor Kind, COLORREF Ink, COLORREF Fill, bool Badge) {
  const TArrows A = ArrowsOf(Kind);
  HPEN Pen = CreatePen(PS_SOLID, 1, Ink);
  HBRUSH InkBrush = CreateSolidBrush(Ink);
  HBRUSH FillBrush = CreateSolidBrush(Fill);
  HGDIOBJ OldPen = SelectObject(DC, Pen);
  HGDIOBJ OldBrush = SelectObject(DC, FillBrush);
  if (Badge) Ellipse(DC, 1, 1, 31, 31);
  SelectObject(DC, InkBrush);
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
  SelectObject(DC, OldBrush);
  SelectObject(DC, OldPen);
  DeleteObject(Pen);
  DeleteObject(InkBrush);
  DeleteObject(FillBrush);
}

struct TPanningWindowData {
  std::function<void(TMessage&)> Handler;
};

LRESULT CALLBACK PanningWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* Data = reinterpret_cast<TPanningWindowData*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
  if (!Data) return DefWindowProcW(Wnd, Msg, WParam, LParam);
  TMessage M{};
  M.Msg = Msg;
  M.WParam = WParam;
  M.LParam = LParam;
  Data->Handler(M);
  return M.Result;
}

}  // namespace

HBITMAP CreatePanningBitmap(TVTPanningCursor Kind) {
  HDC Screen = GetDC(nullptr);
  HDC DC = CreateCompatibleDC(Screen);
  HBITMAP Bitmap = CreateCompatibleBitmap(Screen, PanningImageSize, PanningImageSize);
  HGDIOBJ Old = SelectObject(DC, Bitmap);
  HBRUSH Clear = CreateSolidBrush(PanningTransparent);
  RECT R{0, 0, PanningImageSize, PanningImageSize};
  FillRect(DC, &R, Clear);
  DeleteObject(Clear);
  DrawPanningArt(DC, Kind, RGB(0, 0, 0), RGB(255, 255, 255), true);
  SelectObject(DC, Old);
  DeleteDC(DC);
  ReleaseDC(nullptr, Screen);
  return Bitmap;
}

HCURSOR CreateOutlinedCursor(const std::function<void(HDC DC, COLORREF Ink)>& Art) {
  // A monochrome cursor: the mask is white (screen shows through) except
  // where the art is; the colour plane draws the art in black with a
  // white outline of one pixel.
  HDC Screen = GetDC(nullptr);
  HDC DC = CreateCompatibleDC(Screen);
  HBITMAP Color = CreateCompatibleBitmap(Screen, 32, 32);
  HBITMAP Mask = CreateBitmap(32, 32, 1, 1, nullptr);
  RECT R{0, 0, 32, 32};
  HGDIOBJ Old = SelectObject(DC, Mask);
  FillRect(DC, &R, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  // The outline: the art drawn a pixel larger in every direction.
  for (int DX = -1; DX <= 1; ++DX)
    for (int DY = -1; DY <= 1; ++DY) {
      SetViewportOrgEx(DC, DX, DY, nullptr);
      Art(DC, RGB(0, 0, 0));
    }
  SetViewportOrgEx(DC, 0, 0, nullptr);
  SelectObject(DC, Color);
  FillRect(DC, &R, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (int DX = -1; DX <= 1; ++DX)
    for (int DY = -1; DY <= 1; ++DY) {
      SetViewportOrgEx(DC, DX, DY, nullptr);
      Art(DC, RGB(255, 255, 255));
    }
  SetViewportOrgEx(DC, 0, 0, nullptr);
  Art(DC, RGB(0, 0, 0));
  SelectObject(DC, Old);
  ICONINFO Info{FALSE, 16, 16, Mask, Color};
  HCURSOR Cursor = CreateIconIndirect(&Info);
  DeleteObject(Color);
  DeleteObject(Mask);
  DeleteDC(DC);
  ReleaseDC(nullptr, Screen);
  return Cursor;
}

HCURSOR CreatePanningCursor(TVTPanningCursor Kind) {
  return CreateOutlinedCursor([Kind](HDC DC, COLORREF Ink) { DrawPanningArt(DC, Kind, Ink, Ink, false); });
}

HCURSOR CreateSplitCursor(bool AcrossRows) {
  // Two bars with an arrow pointing away from each: upright bars with
  // arrows to the left and right for a column edge, lying bars with arrows
  // up and down for a row edge.
  return CreateOutlinedCursor([AcrossRows](HDC DC, COLORREF Ink) {
    auto At = [AcrossRows](int X, int Y) { return AcrossRows ? POINT{Y, X} : POINT{X, Y}; };
    HBRUSH Brush = CreateSolidBrush(Ink);
    auto Fill = [&](int X1, int Y1, int X2, int Y2) {
      const POINT A = At(X1, Y1), B = At(X2, Y2);
      RECT R{std::min(A.x, B.x), std::min(A.y, B.y), std::max(A.x, B.x), std::max(A.y, B.y)};
      FillRect(DC, &R, Brush);
    };
    HPEN Pen = CreatePen(PS_SOLID, 1, Ink);
    HGDIOBJ OldPen = SelectObject(DC, Pen);
    HGDIOBJ OldBrush = SelectObject(DC, Brush);
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
    SelectObject(DC, OldBrush);
    SelectObject(DC, OldPen);
    DeleteObject(Pen);
    DeleteObject(Brush);
  });
}

HWND CreatePanningWindow(HWND Owner, const TPoint& ScreenCentre, HBITMAP Image,
                         std::function<void(TMessage&)> Handler) {
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
  HWND Wnd = CreateWindowExW(WS_EX_TOOLWINDOW, PanningClass, nullptr, WS_POPUP, ScreenCentre.X - 16,
                             ScreenCentre.Y - 16, PanningImageSize, PanningImageSize, Owner, nullptr, Instance,
                             nullptr);
  if (!Wnd) return nullptr;
  // The window's shape: every run of pixels that is not magenta.
  HDC Screen = GetDC(nullptr);
  HDC DC = CreateCompatibleDC(Screen);
  HGDIOBJ Old = SelectObject(DC, Image);
  HRGN Region = CreateRectRgn(0, 0, 0, 0);
  for (int Y = 0; Y < PanningImageSize; ++Y) {
    int X = 0;
    while (X < PanningImageSize) {
      while (X < PanningImageSize && GetPixel(DC, X, Y) == PanningTransparent) ++X;
      const int X1 = X;
      while (X < PanningImageSize && GetPixel(DC, X, Y) != PanningTransparent) ++X;
      if (X > X1) {
        HRGN Run = CreateRectRgn(X1, Y, X, Y + 1);
        CombineRgn(Region, Region, Run, RGN_OR);
        DeleteObject(Run);
      }
    }
  }
  SelectObject(DC, Old);
  DeleteDC(DC);
  ReleaseDC(nullptr, Screen);
  SetWindowRgn(Wnd, Region, FALSE);  // the window owns the region now
  SetWindowLongPtrW(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TPanningWindowData{std::move(Handler)}));
  SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PanningWindowProc));
  return Wnd;
}

void DestroyPanningWindow(HWND Window) {
  auto* Data = reinterpret_cast<TPanningWindowData*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
  SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
  SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
  DestroyWindow(Window);
  delete Data;
}
