#include "treeview/VastTreeDragImage_win.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "rtl/Win32Handles.h"
#include "treeview/VastTrees.h"
#include "vcl/Graphics.h"

namespace {

constexpr const wchar_t* DragImageClass = L"VTDragImageWindow";

void RegisterDragImageClass() {
  static bool Registered = false;
  if (Registered) return;
  WNDCLASSEXW Class{};
  Class.cbSize = sizeof(Class);
  Class.lpfnWndProc = DefWindowProcW;
  Class.hInstance = GetModuleHandleW(nullptr);
  Class.lpszClassName = DragImageClass;
  RegisterClassExW(&Class);
  Registered = true;
}

Integer ClampByte(Integer V) { return std::clamp(V, 0, 255); }

}  // namespace

TVTDragImage::TVTDragImage(TBaseVastTree* AOwner) : FOwner(AOwner) {}

TVTDragImage::~TVTDragImage() { EndDrag(); }

bool TVTDragImage::Visible() const {
  return FStates.Contains(disInDrag) && FStates.Contains(disPrepared) && !FStates.Contains(disHidden) &&
         !FStates.Contains(disSystemSupport);
}

bool TVTDragImage::HandToSystem(TBitmap* DragImage, IDataObject* DataObject) {
  // The shell's drag-drop helper object.
  static constexpr CLSID DragDropHelper{0x4657278A, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};
  TComPtr<IDragSourceHelper> Helper;
  if (FAILED(CoCreateInstance(DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDragSourceHelper),
                              reinterpret_cast<void**>(Helper.Put()))) ||
      !Helper)
    return false;
  TComPtr<IDragSourceHelper2> Helper2;
  if (SUCCEEDED(Helper->QueryInterface(__uuidof(IDragSourceHelper2), reinterpret_cast<void**>(Helper2.Put()))) &&
      Helper2)
    Helper2->SetFlags(DSH_ALLOWDROPDESCRIPTIONTEXT);
  // Files being dragged: the system knows their picture itself.
  FORMATETC Files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM};
  if (DataObject->QueryGetData(&Files) == S_OK) {
    POINT Origin{0, 0};
    if (SUCCEEDED(Helper->InitializeFromWindow(nullptr, &Origin, DataObject))) return true;
  }
  // Otherwise our picture, as a copy the system takes over.
  const Integer W = DragImage->Width(), H = DragImage->Height();
  void* Bits = nullptr;
  TGdiObject Copy(CreateDib32(W, H, Bits));
  if (!Copy) return false;
  {
    const TMemoryDC Mem;
    const TSelectGuard Select(Mem.Get(), Copy.Get());
    BitBlt(Mem.Get(), 0, 0, W, H, DragImage->Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  SHDRAGIMAGE Image{};
  Image.sizeDragImage = SIZE{W, H};
  Image.ptOffset = POINT{W / 2, H / 2};
  Image.hbmpDragImage = static_cast<HBITMAP>(Copy.Get());
  Image.crColorKey = FColorKey == clNone ? CLR_NONE : static_cast<COLORREF>(ColorToRGB(FColorKey));
  if (FAILED(Helper->InitializeFromBitmap(&Image, DataObject))) return false;
  Copy.Release();  // the system's now
  return true;
}

void TVTDragImage::PrepareDrag(TBitmap* DragImage, const TPoint& ImagePosition, const TPoint& HotSpot,
                               IDataObject* DataObject) {
  FStates.Exclude(disSystemSupport);
  const Integer W = DragImage->Width(), H = DragImage->Height();
  if (W <= 0 || H <= 0) return;
  // With the system's drag-image service the system draws the picture.
  if (DataObject && HandToSystem(DragImage, DataObject)) {
    FStates.Include(disSystemSupport);
    return;
  }
  FLastPosition = HotSpot;
  FDragImage = std::make_unique<TBitmap>(W, H);
  FDragImage->SetPixelFormat(pf32bit);
  BitBlt(FDragImage->Canvas()->Handle(), 0, 0, W, H, DragImage->Canvas()->Handle(), 0, 0, SRCCOPY);
  GdiFlush();
  if (FPreBlendBias != 0)
    for (Integer Y = 0; Y < H; ++Y) {
      auto* Row = static_cast<Byte*>(FDragImage->ScanLine(Y));
      for (Integer X = 0; X < W * 4; ++X)
        if (X % 4 != 3) Row[X] = static_cast<Byte>(ClampByte(Row[X] + FPreBlendBias));
    }
  MakeAlphaChannel();
  FImagePosition = ImagePosition;
  FStates.Include(disHidden);
  FStates.Include(disInDrag);
  FStates.Include(disPrepared);
}

void TVTDragImage::MakeAlphaChannel() {
  const Integer W = FDragImage->Width(), H = FDragImage->Height();
  FAlpha.assign(static_cast<std::size_t>(W * H), 255);
  const COLORREF Key = FColorKey == clNone ? CLR_INVALID : static_cast<COLORREF>(ColorToRGB(FColorKey));
  const double M = std::max(W, H);
  for (Integer Y = 0; Y < H; ++Y) {
    const auto* Row = static_cast<const Byte*>(FDragImage->ScanLine(Y));
    for (Integer X = 0; X < W; ++X) {
      const Byte* Px = Row + X * 4;
      Byte A;
      if (Key != CLR_INVALID && RGB(Px[2], Px[1], Px[0]) == Key) {
        A = 0;
      } else {
        const double DX = (X - W / 2) / M, DY = (Y - H / 2) / M;
        A = static_cast<Byte>(std::lround(255.0 * std::exp(-8.0 * std::sqrt(DX * DX + DY * DY))));
      }
      FAlpha[static_cast<std::size_t>(Y * W + X)] = A;
    }
  }
}

Byte TVTDragImage::PixelAlpha(Integer X, Integer Y) const {
  if (!FDragImage) return 0;
  const Integer W = FDragImage->Width();
  // Per-pixel alpha only with fading or a colour key; the constant
  // transparency applies in every case.
  const bool PerPixel = FFade || FColorKey != clNone;
  const Integer A = PerPixel ? FAlpha[static_cast<std::size_t>(Y * W + X)] : 255;
  return static_cast<Byte>(A * FTransparency / 255);
}

void TVTDragImage::UpdateWindowImage() {
  if (!FWindow || !FDragImage) return;
  const Integer W = FDragImage->Width(), H = FDragImage->Height();
  // What lies under the image: the screen as it was, and over it the
  // backdrop window as it paints itself now.
  TBitmap Back(W, H);
  Back.SetPixelFormat(pf32bit);
  HDC BackDC = Back.Canvas()->Handle();
  if (FScreen)
    BitBlt(BackDC, 0, 0, W, H, FScreen->Canvas()->Handle(), FImagePosition.X - FScreenOrigin.X,
           FImagePosition.Y - FScreenOrigin.Y, SRCCOPY);
  if (FBackdropWindow && IsWindowVisible(FBackdropWindow)) {
    RECT Window;
    GetWindowRect(FBackdropWindow, &Window);
    TBitmap Print(Window.right - Window.left, Window.bottom - Window.top);
    Print.SetPixelFormat(pf32bit);
    SendMessageW(FBackdropWindow, WM_PRINT, reinterpret_cast<WPARAM>(Print.Canvas()->Handle()),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    BitBlt(BackDC, Window.left - FImagePosition.X, Window.top - FImagePosition.Y, Print.Width(), Print.Height(),
           Print.Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  GdiFlush();
  void* Bits = nullptr;
  const TGdiObject Dib(CreateDib32(W, H, Bits));
  if (!Dib || !Bits) return;
  auto* Out = static_cast<Byte*>(Bits);
  for (Integer Y = 0; Y < H; ++Y) {
    const auto* Row = static_cast<const Byte*>(FDragImage->ScanLine(Y));
    const auto* Under = static_cast<const Byte*>(Back.ScanLine(Y));
    for (Integer X = 0; X < W; ++X) {
      const Integer A = PixelAlpha(X, Y);
      Byte* O = Out + (Y * W + X) * 4;
      for (int C = 0; C < 3; ++C) {
        const Integer Src = ClampByte(Row[X * 4 + C] + FPostBlendBias);
        O[C] = static_cast<Byte>((Src * A + Under[X * 4 + C] * (255 - A)) / 255);
      }
      O[3] = 255;
    }
  }
  const TWindowDC Screen(nullptr);
  const TMemoryDC Mem(Screen.Get());
  const TSelectGuard Select(Mem.Get(), Dib.Get());
  POINT Pos{FImagePosition.X, FImagePosition.Y}, Origin{0, 0};
  SIZE Size{W, H};
  BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(FWindow.Get(), Screen.Get(), &Pos, &Size, Mem.Get(), &Origin, 0, &Blend, ULW_ALPHA);
}

void TVTDragImage::ShowDragImage() {
  if (FStates != TVTDragImageStates{disHidden, disInDrag, disPrepared}) return;
  FStates.Exclude(disHidden);
  {
    FScreenOrigin = TPoint{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    FScreen = std::make_unique<TBitmap>(GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    FScreen->SetPixelFormat(pf32bit);
    const TWindowDC Screen(nullptr);
    BitBlt(FScreen->Canvas()->Handle(), 0, 0, FScreen->Width(), FScreen->Height(), Screen.Get(), FScreenOrigin.X,
           FScreenOrigin.Y, SRCCOPY);
  }
  RegisterDragImageClass();
  if (!FWindow)
    FWindow.Reset(
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                        DragImageClass, L"", WS_POPUP, FImagePosition.X, FImagePosition.Y, FDragImage->Width(),
                        FDragImage->Height(), nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  UpdateWindowImage();
  ShowWindow(FWindow.Get(), SW_SHOWNOACTIVATE);
}

void TVTDragImage::HideDragImage() {
  if (!Visible()) return;
  FStates.Include(disHidden);
  if (FWindow) ShowWindow(FWindow.Get(), SW_HIDE);
}

bool TVTDragImage::DragTo(const TPoint& P, bool ForceRepaint) {
  Integer DX = FLastPosition.X - P.X, DY = FLastPosition.Y - P.Y;
  if (FRestriction == dmrHorizontalOnly) DY = 0;
  if (FRestriction == dmrVerticalOnly) DX = 0;
  const bool Result = DX != 0 || DY != 0 || ForceRepaint;
  if (!Result) return false;
  if (Visible()) {
    FImagePosition.X -= DX;
    FImagePosition.Y -= DY;
    UpdateWindowImage();
  }
  FLastPosition = P;
  return Result;
}

bool TVTDragImage::WillMove(const TPoint& P) const {
  if (!Visible()) return false;
  if (FRestriction == dmrHorizontalOnly) return P.X != FLastPosition.X;
  if (FRestriction == dmrVerticalOnly) return P.Y != FLastPosition.Y;
  return !(P == FLastPosition);
}

void TVTDragImage::EndDrag() {
  HideDragImage();
  FStates.Exclude(disInDrag);
  FStates.Exclude(disPrepared);
  FWindow.Reset();
  FDragImage.reset();
  FAlpha.clear();
  FScreen.reset();
}

TRect TVTDragImage::GetDragImageRect() const {
  if (!Visible() || !FDragImage) return TRect{};
  return TRect{FImagePosition.X, FImagePosition.Y, FImagePosition.X + FDragImage->Width(),
               FImagePosition.Y + FDragImage->Height()};
}

void TVTDragImage::RecaptureBackground(HWND Window, const TRect& R, bool CaptureNCArea, bool ReshowDragImage) {
  if (!Visible() || !FScreen || !Window) return;
  RECT WindowRect;
  GetWindowRect(Window, &WindowRect);
  POINT Corner{R.Left, R.Top};
  ClientToScreen(Window, &Corner);
  // The repainted part, on the screen, where the image lies.
  const TRect Image = GetDragImageRect();
  TRect Part{Corner.x, Corner.y, Corner.x + R.Width(), Corner.y + R.Height()};
  Part = TRect{std::max(Part.Left, Image.Left), std::max(Part.Top, Image.Top), std::min(Part.Right, Image.Right),
               std::min(Part.Bottom, Image.Bottom)};
  if (Part.IsEmpty()) return;
  // The window as it paints itself now; its border and header only when
  // asked for.
  TBitmap Print(WindowRect.right - WindowRect.left, WindowRect.bottom - WindowRect.top);
  Print.SetPixelFormat(pf32bit);
  SendMessageW(Window, WM_PRINT, reinterpret_cast<WPARAM>(Print.Canvas()->Handle()),
               PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
  if (!CaptureNCArea) {
    POINT Client{0, 0};
    ClientToScreen(Window, &Client);
    RECT ClientRect;
    GetClientRect(Window, &ClientRect);
    Part = TRect{std::max<Integer>(Part.Left, Client.x), std::max<Integer>(Part.Top, Client.y),
                 std::min<Integer>(Part.Right, Client.x + ClientRect.right),
                 std::min<Integer>(Part.Bottom, Client.y + ClientRect.bottom)};
    if (Part.IsEmpty()) return;
  }
  BitBlt(FScreen->Canvas()->Handle(), Part.Left - FScreenOrigin.X, Part.Top - FScreenOrigin.Y, Part.Width(),
         Part.Height(), Print.Canvas()->Handle(), Part.Left - WindowRect.left, Part.Top - WindowRect.top, SRCCOPY);
  GdiFlush();
  if (ReshowDragImage) UpdateWindowImage();
}

TColor TVTDragImage::BackgroundPixel(const TPoint& P) const {
  if (!FScreen || !GetDragImageRect().Contains(P)) return clNone;
  const Integer X = P.X - FScreenOrigin.X, Y = P.Y - FScreenOrigin.Y;
  if (X < 0 || Y < 0 || X >= FScreen->Width() || Y >= FScreen->Height()) return clNone;
  GdiFlush();
  const auto* Px = static_cast<const Byte*>(FScreen->ScanLine(Y)) + X * 4;
  return static_cast<TColor>(RGB(Px[2], Px[1], Px[0]));
}
