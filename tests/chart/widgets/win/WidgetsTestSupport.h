#pragma once
// What the widget tests share: plain-coloured PNG pictures written to a
// scratch folder, and a form to put widgets on.
#include <memory>

#include "rtl/Streams.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/Pictures.h"

namespace widgets_test {

// A W x H picture of one colour with a black frame.
inline std::unique_ptr<TPicture> MakePicture(Integer W, Integer H, TColor C) {
  TBitmap B(W, H);
  B.SetPixelFormat(pf24bit);
  B.Canvas()->Brush()->SetColor(C);
  B.Canvas()->FillRect(TRect{0, 0, W, H});
  B.Canvas()->Brush()->SetColor(0);
  B.Canvas()->FrameRect(TRect{0, 0, W, H});
  TPngImage Png;
  Png.Assign(&B);
  auto P = std::make_unique<TPicture>();
  P->SetGraphic(&Png);
  return P;
}

// A folder of that name beside the test program's working folder, with a
// trailing delimiter.
inline String ScratchFolder(const String& Name) {
  wchar_t Here[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, Here);
  const String Folder =
      IncludeTrailingPathDelimiter(String(reinterpret_cast<const char16_t*>(Here))) + u"widgets-" + Name;
  ::CreateDirectoryW(reinterpret_cast<const wchar_t*>(Folder.c_str()), nullptr);
  return IncludeTrailingPathDelimiter(Folder);
}

inline void SavePng(const String& FileName, Integer W, Integer H, TColor C) {
  MakePicture(W, H, C)->SaveToFile(FileName);
}

inline void SaveBytes(const String& FileName, const std::string& Bytes) {
  TFileStream F(FileName, fmCreate);
  if (!Bytes.empty()) F.WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
}

// A client point as mouse messages carry it.
inline LPARAM At(Integer X, Integer Y) { return MAKELPARAM(X, Y); }

// A left click at a client point of C, sent as the mouse sends it.
inline void Click(TWinControl* C, Integer X, Integer Y) {
  HWND W = C->Handle();
  ::SendMessageW(W, WM_MOUSEMOVE, 0, At(X, Y));
  ::SendMessageW(W, WM_LBUTTONDOWN, MK_LBUTTON, At(X, Y));
  ::SendMessageW(W, WM_LBUTTONUP, 0, At(X, Y));
}

struct TFormDeleter {
  void operator()(TCustomForm* Form) const { delete Form; }
};
using TFormPtr = std::unique_ptr<TCustomForm, TFormDeleter>;

inline TFormPtr NewForm(Integer W, Integer H) {
  Application->Initialize();
  TFormPtr Form(TCustomForm::Create<TForm>(Application));
  Form->SetClientWidth(W);
  Form->SetClientHeight(H);
  return Form;
}

}  // namespace widgets_test
