#include "chart/view/ChartOverlayWindow.h"

#include "rtl/Dispatcher.h"

namespace {
const wchar_t kOverlayClass[] = L"Quorvel.ChartOverlay";

int HatchOf(TBrushStyle S) {
  switch (S) {
    case bsHorizontal:
      return HS_HORIZONTAL;
    case bsVertical:
      return HS_VERTICAL;
    case bsFDiagonal:
      return HS_FDIAGONAL;
    case bsBDiagonal:
      return HS_BDIAGONAL;
    case bsCross:
      return HS_CROSS;
    case bsDiagCross:
      return HS_DIAGCROSS;
    default:
      return -1;
  }
}
}  // namespace

TChartOverlayWindow::TChartOverlayWindow(TColor Color, TBrushStyle Style, bool AlphaBlend, Byte Alpha,
                                         Integer BorderWidth)
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
  FWnd.Reset(
      CreateWindowExW(Ex, kOverlayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this));
  if (FWnd && AlphaBlend) SetLayeredWindowAttributes(FWnd.Get(), 0, Alpha, LWA_ALPHA);
}

TChartOverlayWindow::~TChartOverlayWindow() {
  // No message reaches the object while the window goes.
  if (FWnd) SetWindowLongPtrW(FWnd.Get(), GWLP_USERDATA, 0);
}

void TChartOverlayWindow::SetBounds(const TRect& R) {
  FBounds = R;
  if (FWnd)
    SetWindowPos(FWnd.Get(), HWND_TOPMOST, R.Left, R.Top, std::max(R.Width(), 1), std::max(R.Height(), 1),
                 SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : 0));
  if (FWnd && FShowing) InvalidateRect(FWnd.Get(), nullptr, TRUE);
}

void TChartOverlayWindow::Show() {
  FShowing = true;
  if (FWnd) ShowWindow(FWnd.Get(), SW_SHOWNOACTIVATE);
}

void TChartOverlayWindow::SetPicture(std::unique_ptr<TBitmap> Picture) {
  FPicture = std::move(Picture);
  if (FWnd) InvalidateRect(FWnd.Get(), nullptr, TRUE);
}

void TChartOverlayWindow::Paint(HDC DC) {
  RECT R;
  GetClientRect(FWnd.Get(), &R);
  if (FPicture) {
    BitBlt(DC, 0, 0, FPicture->Width(), FPicture->Height(), FPicture->Canvas()->Handle(), 0, 0, SRCCOPY);
  } else if (FStyle != bsClear) {
    const COLORREF C = static_cast<COLORREF>(ColorToRGB(FColor));
    const int Hatch = HatchOf(FStyle);
    const TGdiObject B(Hatch < 0 ? CreateSolidBrush(C) : CreateHatchBrush(Hatch, C));
    FillRect(DC, &R, static_cast<HBRUSH>(B.Get()));
  }
  if (FBorderWidth > 0) {
    const TGdiObject B(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(FPicture ? clBlack : FColor))));
    for (int I = 0; I < FBorderWidth; ++I) {
      RECT F{R.left + I, R.top + I, R.right - I, R.bottom - I};
      FrameRect(DC, &F, static_cast<HBRUSH>(B.Get()));
    }
  }
}

LRESULT CALLBACK TChartOverlayWindow::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCCREATE) {
    auto* CS = reinterpret_cast<CREATESTRUCTW*>(LParam);
    SetWindowLongPtrW(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(CS->lpCreateParams));
  }
  auto* Self = reinterpret_cast<TChartOverlayWindow*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
  switch (Msg) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const TPaintDC DC(Wnd);
      // Nothing may unwind through the system's frames: a failed paint goes
      // to the application's handler.
      try {
        if (Self) Self->Paint(DC.Get());
      } catch (...) {
        HandleUnhandledException(std::current_exception());
      }
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(Wnd, Msg, WParam, LParam);
}
