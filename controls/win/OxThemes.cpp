#include "controls/win/OxThemes.h"

#include <shlwapi.h>

namespace {

using TIsThemeActive = BOOL(WINAPI*)();
using TIsAppThemed = BOOL(WINAPI*)();
using TOpenThemeData = void*(WINAPI*)(HWND, LPCWSTR);
using TCloseThemeData = HRESULT(WINAPI*)(void*);
using TDrawThemeBackground = HRESULT(WINAPI*)(void*, HDC, int, int, const RECT*, const RECT*);
using TGetThemeColor = HRESULT(WINAPI*)(void*, int, int, int, COLORREF*);

struct TUxTheme {
  TIsThemeActive IsThemeActive = nullptr;
  TIsAppThemed IsAppThemed = nullptr;
  TOpenThemeData OpenThemeData = nullptr;
  TCloseThemeData CloseThemeData = nullptr;
  TDrawThemeBackground DrawThemeBackground = nullptr;
  TGetThemeColor GetThemeColor = nullptr;
  bool Complete() const {
    return IsThemeActive && IsAppThemed && OpenThemeData && CloseThemeData && DrawThemeBackground && GetThemeColor;
  }
};

template <class T>
T Bind(HMODULE Module, const char* Name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(Module, Name)));
}

// Bound once; the library stays loaded for the program's life.
const TUxTheme& UxTheme() {
  static const TUxTheme theme = [] {
    TUxTheme t;
    if (HMODULE module = LoadLibraryW(L"uxtheme.dll")) {
      t.IsThemeActive = Bind<TIsThemeActive>(module, "IsThemeActive");
      t.IsAppThemed = Bind<TIsAppThemed>(module, "IsAppThemed");
      t.OpenThemeData = Bind<TOpenThemeData>(module, "OpenThemeData");
      t.CloseThemeData = Bind<TCloseThemeData>(module, "CloseThemeData");
      t.DrawThemeBackground = Bind<TDrawThemeBackground>(module, "DrawThemeBackground");
      t.GetThemeColor = Bind<TGetThemeColor>(module, "GetThemeColor");
    }
    return t;
  }();
  return theme;
}

// Styles apply only to a program that runs with common controls 6.
bool UsesCommonControls6() {
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  if (!comctl) return false;
  using TDllGetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
  auto getVersion = Bind<TDllGetVersion>(comctl, "DllGetVersion");
  if (!getVersion) return false;
  DLLVERSIONINFO info{};
  info.cbSize = sizeof(info);
  return SUCCEEDED(getVersion(&info)) && info.dwMajorVersion >= 6;
}

}  // namespace

bool StyleServicesEnabled() {
  const TUxTheme& ux = UxTheme();
  return ux.Complete() && ux.IsThemeActive() && ux.IsAppThemed() && UsesCommonControls6();
}

TThemeData::TThemeData(const wchar_t* ClassList) {
  if (StyleServicesEnabled()) FTheme = UxTheme().OpenThemeData(nullptr, ClassList);
}

TThemeData::~TThemeData() {
  if (FTheme) UxTheme().CloseThemeData(FTheme);
}

void TThemeData::DrawBackground(HDC DC, int Part, int State, const RECT& Rect, const RECT* Clip) const {
  if (FTheme) UxTheme().DrawThemeBackground(FTheme, DC, Part, State, &Rect, Clip);
}

COLORREF TThemeData::Color(int Part, int State, int Property, COLORREF Fallback) const {
  COLORREF color = Fallback;
  if (!FTheme || FAILED(UxTheme().GetThemeColor(FTheme, Part, State, Property, &color))) return Fallback;
  return color;
}
