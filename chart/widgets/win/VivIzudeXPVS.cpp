#include "chart/widgets/win/VivIzudeXPVS.h"

#include <iterator>

namespace {

TVivIzudeThemeApi ThemeApi;

const char* const Names[] = {"OpenThemeData",
                             "CloseThemeData",
                             "DrawThemeBackground",
                             "DrawThemeText",
                             "GetThemeBackgroundContentRect",
                             "GetThemeBackgroundExtent",
                             "GetThemeTextExtent",
                             "GetThemeTextMetrics",
                             "GetThemeBackgroundRegion",
                             "HitTestThemeBackground",
                             "DrawThemeEdge",
                             "DrawThemeIcon",
                             "IsThemePartDefined",
                             "IsThemeBackgroundPartiallyTransparent",
                             "GetThemeColor",
                             "GetThemeMetric",
                             "GetThemeString",
                             "GetThemeBool",
                             "GetThemeInt",
                             "GetThemeEnumValue",
                             "GetThemePosition",
                             "GetThemeFont",
                             "GetThemeRect",
                             "GetThemeMargins",
                             "GetThemeIntList",
                             "SetWindowTheme",
                             "GetThemeFilename",
                             "GetThemeSysColor",
                             "GetThemeSysColorBrush",
                             "GetThemeSysBool",
                             "GetThemeSysSize",
                             "GetThemeSysFont",
                             "GetThemeSysString",
                             "GetThemeSysInt",
                             "IsThemeActive",
                             "IsAppThemed",
                             "GetWindowTheme",
                             "EnableThemeDialogTexture",
                             "IsThemeDialogTextureEnabled",
                             "GetThemeAppProperties",
                             "SetThemeAppProperties",
                             "GetCurrentThemeName",
                             "GetThemeDocumentationProperty",
                             "DrawThemeParentBackground",
                             "EnableTheming"};

template <class F>
void Bind(F& Pointer, const char* Name) {
  Pointer = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(ThemeApi.Library, Name)));
}

// Bound when the program starts and released when it ends.
struct TThemeApiBinding {
  TThemeApiBinding() { BindThemeApi(); }
  ~TThemeApiBinding() { UnbindThemeApi(); }
} Binding;

}  // namespace

const TVivIzudeThemeApi& VivIzudeThemeApi() { return ThemeApi; }

const char* const* VivIzudeThemeApiNames(int& ACount) {
  ACount = static_cast<int>(std::size(Names));
  return Names;
}

void BindThemeApi() {
  if (ThemeApi.Loaded) return;
  const HMODULE Library = ::LoadLibraryW(L"UXTHEME.DLL");
  // A handle below 32 is a failure code of the old loader.
  if (reinterpret_cast<UINT_PTR>(Library) < 32) return;
  ThemeApi.Library = Library;
  ThemeApi.Loaded = true;
  TVivIzudeThemeApi& T = ThemeApi;
  int I = 0;
  Bind(T.OpenThemeData, Names[I++]);
  Bind(T.CloseThemeData, Names[I++]);
  Bind(T.DrawThemeBackground, Names[I++]);
  Bind(T.DrawThemeText, Names[I++]);
  Bind(T.GetThemeBackgroundContentRect, Names[I++]);
  Bind(T.GetThemeBackgroundExtent, Names[I++]);
  Bind(T.GetThemeTextExtent, Names[I++]);
  Bind(T.GetThemeTextMetrics, Names[I++]);
  Bind(T.GetThemeBackgroundRegion, Names[I++]);
  Bind(T.HitTestThemeBackground, Names[I++]);
  Bind(T.DrawThemeEdge, Names[I++]);
  Bind(T.DrawThemeIcon, Names[I++]);
  Bind(T.IsThemePartDefined, Names[I++]);
  Bind(T.IsThemeBackgroundPartiallyTransparent, Names[I++]);
  Bind(T.GetThemeColor, Names[I++]);
  Bind(T.GetThemeMetric, Names[I++]);
  Bind(T.GetThemeString, Names[I++]);
  Bind(T.GetThemeBool, Names[I++]);
  Bind(T.GetThemeInt, Names[I++]);
  Bind(T.GetThemeEnumValue, Names[I++]);
  Bind(T.GetThemePosition, Names[I++]);
  Bind(T.GetThemeFont, Names[I++]);
  Bind(T.GetThemeRect, Names[I++]);
  Bind(T.GetThemeMargins, Names[I++]);
  Bind(T.GetThemeIntList, Names[I++]);
  Bind(T.SetWindowTheme, Names[I++]);
  Bind(T.GetThemeFilename, Names[I++]);
  Bind(T.GetThemeSysColor, Names[I++]);
  Bind(T.GetThemeSysColorBrush, Names[I++]);
  Bind(T.GetThemeSysBool, Names[I++]);
  Bind(T.GetThemeSysSize, Names[I++]);
  Bind(T.GetThemeSysFont, Names[I++]);
  Bind(T.GetThemeSysString, Names[I++]);
  Bind(T.GetThemeSysInt, Names[I++]);
  Bind(T.IsThemeActive, Names[I++]);
  Bind(T.IsAppThemed, Names[I++]);
  Bind(T.GetWindowTheme, Names[I++]);
  Bind(T.EnableThemeDialogTexture, Names[I++]);
  Bind(T.IsThemeDialogTextureEnabled, Names[I++]);
  Bind(T.GetThemeAppProperties, Names[I++]);
  Bind(T.SetThemeAppProperties, Names[I++]);
  Bind(T.GetCurrentThemeName, Names[I++]);
  Bind(T.GetThemeDocumentationProperty, Names[I++]);
  Bind(T.DrawThemeParentBackground, Names[I++]);
  Bind(T.EnableTheming, Names[I++]);
}

void UnbindThemeApi() {
  if (!ThemeApi.Loaded) return;
  ::FreeLibrary(ThemeApi.Library);
  ThemeApi = TVivIzudeThemeApi{};
}
