#include "chart/view/ChartOverlayWindow.h"

namespace {
const wchar_t kOverlayClass[] = L"Quorvel.ChartOverlay";

int HatchOf(TBrushStyle S) {
  switch (S) {
    case bsHorizontal: return HS_HORIZONTAL;
    case bsVertical: return HS_VERTICAL;
    case bsFDiagonal: return HS_FDIAGONAL;
    case bsBDiagonal: return HS_BDIAGONAL;
    case bsCross: return HS_CROSS;
    case bsDiagCross: return HS_DIAGCROSS;
    default: return -1;
  }
}
}  // namespace

TChartOverlayWindow::TChartOverlayWindow(TColor Color, TBrushStyle Style, bool AlphaBlend, Byte Alpha, Integer BorderWidth)
    : FColor(Color == clNone ? clHighlight : Color), FStyle(Style), FBorderWidth(BorderWidth) {
  static const bool Registered = [] {
    WNDCLASSEXW C{};
    C.cbSize = sizeof(C);
    C.lpfnWndProc = &TChartOverlayWindow::WndProc;
    C.hInstance = GetModuleHandleW(nullptr);
    C.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    C.lpszClassName = kOverlayClass;
    return RegisterClassExW(&C) != 0;
  }();
  (void)Registered;
  DWORD Ex = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TRANSPARENT;
  if (AlphaBlend) Ex |= WS_EX_LAYERED;
  FWnd = CreateWindowExW(Ex, kOverlayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (FWnd && AlphaBlend) SetLayeredWindowAttributes(FWnd, 0, Alpha, LWA_ALPHA);
}

TChartOverlayWindow::~TChartOverlayWindow() {
  if (FWnd) {
    SetWindowLongPtrW(FWnd, GWLP_USERDATA, 0);
    DestroyWindow(FWnd);
  }
}

void TChartOverlayWindow::SetBounds(const TRect& R) {
  FBounds = R;
  if (FWnd)
    SetWindowPos(FWnd, HWND_TOPMOST, R.Left, R.Top, std::max(R.Width(), 1), std::max(R.Height(), 1),
                 SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : 0));
  if (FWnd && FShowing) InvalidateRect(FWnd, nullptr, TRUE);
}

void TChartOverlayWindow::Show() {
  FShowing = true;
  if (FWnd) ShowWindow(FWnd, SW_SHOWNOACTIVATE);
}

void TChartOverlayWindow::SetPicture(std::unique_ptr<TBitmap> Picture) {
  FPicture = std::move(Picture);
  if (FWnd) InvalidateRect(FWnd, nullptr, TRUE);
}

void TChartOverlayWindow::Paint(HDC DC) {
  RECT R;
  GetClientRect(FWnd, &R);
  if (FPicture) {
    BitBlt(DC, 0, 0, FPicture->Width(), FPicture->Height(), FPicture->Canvas()->Handle(), 0, 0, SRCCOPY);
  } else if (FStyle != bsClear) {
    const COLORREF C = static_cast<COLORREF>(ColorToRGB(FColor));
    const int Hatch = HatchOf(FStyle);
    HBRUSH B = Hatch < 0 ? CreateSolidBrush(C) : CreateHatchBrush(Hatch, C);
    FillRect(DC, &R, B);
    DeleteObject(B);
  }
  if (FBorderWidth > 0) {
    HBRUSH B = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(FPicture ? clBlack : FColor)));
    for (int I = 0; I < FBorderWidth; ++I) {
      RECT F{R.left + I, R.top + I, R.right - I, R.bottom - I};
      FrameRect(DC, &F, B);
    }
    DeleteObject(B);
  }
}

LRESULT CALLBACK TChartOverlayWindow::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCCREATE) {
    auto* CS = reinterpret_cast<CREATESTRUCTW*>(LParam);
    SetWindowLongPtrW(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(CS->lpCreateParams));
  }
  auto* Self = reinterpret_cast<TChartOverlayWindow*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
  switch (Msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT PS;
      HDC DC = BeginPaint(Wnd, &PS);
      if (Self) Self->Paint(DC);
      EndPaint(Wnd, &PS);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(Wnd, Msg, WParam, LParam);
}
