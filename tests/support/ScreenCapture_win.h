#pragma once
// The Windows tests' pictures of windows, for people to look at (and for a
// few pixel reads). Three sources, as Wine shows them differently: the
// screen (child windows and, with CAPTUREBLT, layered windows included, but
// anything covering the window too), a window's own client surface, and a
// window's whole surface read back without repainting.
#include <memory>
#include <string>

#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/Pictures.h"

namespace testsupport {

// What the screen shows over R (screen coordinates), in 24 bits: a viewer
// would take a 32-bit file's fourth byte for transparency.
inline std::unique_ptr<TBitmap> ScreenImage(const RECT& R, DWORD Rop = SRCCOPY) {
  auto Shot = std::make_unique<TBitmap>(R.right - R.left, R.bottom - R.top);
  {
    const TWindowDC Screen(nullptr);
    ::BitBlt(Shot->Canvas()->Handle(), 0, 0, Shot->Width(), Shot->Height(), Screen.Get(), R.left, R.top, Rop);
  }
  Shot->SetPixelFormat(pf24bit);
  return Shot;
}

// What the screen shows over a window, frame included.
inline std::unique_ptr<TBitmap> ScreenImageOfWindow(HWND Wnd, DWORD Rop = SRCCOPY) {
  RECT R{};
  ::GetWindowRect(Wnd, &R);
  return ScreenImage(R, Rop);
}

// A control's client area as its form's client surface holds it, in 24 bits.
inline std::unique_ptr<TBitmap> ClientSurfaceImage(TWinControl* Control) {
  const Integer W = Control->ClientWidth(), H = Control->ClientHeight();
  auto Shot = std::make_unique<TBitmap>(W, H);
  TCustomForm* Form = GetParentForm(Control);
  const TPoint Origin = Control->ClientToScreen({0, 0});
  const TPoint FormOrigin = Form ? Form->ClientToScreen({0, 0}) : Origin;
  {
    const TWindowDC Surface(Form ? Form->Handle() : Control->Handle());
    ::BitBlt(Shot->Canvas()->Handle(), 0, 0, W, H, Surface.Get(), Origin.X - FormOrigin.X, Origin.Y - FormOrigin.Y,
             SRCCOPY);
  }
  Shot->SetPixelFormat(pf24bit);
  return Shot;
}

// What a window's surface holds now, frame included, in 32 bits; nothing is
// repainted for it (the screen itself may lag behind the surface).
inline std::unique_ptr<TBitmap> WindowSurfaceImage(HWND Wnd) {
  RECT R{};
  ::GetWindowRect(Wnd, &R);
  auto Shot = std::make_unique<TBitmap>(R.right - R.left, R.bottom - R.top);
  Shot->SetPixelFormat(pf32bit);
  const TWindowDC Surface = TWindowDC::WholeWindow(Wnd);
  ::BitBlt(Shot->Canvas()->Handle(), 0, 0, Shot->Width(), Shot->Height(), Surface.Get(), 0, 0, SRCCOPY);
  return Shot;
}

// A picture saved as a PNG file (beside the test program unless the name
// says otherwise) for a person to look at.
inline void SavePng(TBitmap* Picture, const String& FileName) {
  TPngImage Png;
  Png.Assign(Picture);
  TFileStream Out(FileName, fmCreate);
  Png.SaveToStream(Out);
}
inline void SavePng(TBitmap* Picture, const std::string& FileName) {
  SavePng(Picture, String(FileName.begin(), FileName.end()));
}

}  // namespace testsupport
