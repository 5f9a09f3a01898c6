#pragma once
// The visual-styles (theme) API of the system, bound by name from
// "UXTHEME.DLL" when the program starts, so that the widgets run where the
// library or one of its entry points is missing: every pointer of a missing
// name stays nullptr, and a nullptr IsThemeActive means that no theme is
// active.
#include "rtl/Win32.h"

#include <uxtheme.h>

struct TVivIzudeThemeApi {
  HMODULE Library = nullptr;
  bool Loaded = false;
  decltype(&::OpenThemeData) OpenThemeData = nullptr;
  decltype(&::CloseThemeData) CloseThemeData = nullptr;
  decltype(&::DrawThemeBackground) DrawThemeBackground = nullptr;
  decltype(&::DrawThemeText) DrawThemeText = nullptr;
  decltype(&::GetThemeBackgroundContentRect) GetThemeBackgroundContentRect = nullptr;
  decltype(&::GetThemeBackgroundExtent) GetThemeBackgroundExtent = nullptr;
  decltype(&::GetThemeTextExtent) GetThemeTextExtent = nullptr;
  decltype(&::GetThemeTextMetrics) GetThemeTextMetrics = nullptr;
  decltype(&::GetThemeBackgroundRegion) GetThemeBackgroundRegion = nullptr;
  decltype(&::HitTestThemeBackground) HitTestThemeBackground = nullptr;
  decltype(&::DrawThemeEdge) DrawThemeEdge = nullptr;
  decltype(&::DrawThemeIcon) DrawThemeIcon = nullptr;
  decltype(&::IsThemePartDefined) IsThemePartDefined = nullptr;
  decltype(&::IsThemeBackgroundPartiallyTransparent) IsThemeBackgroundPartiallyTransparent = nullptr;
  decltype(&::GetThemeColor) GetThemeColor = nullptr;
  decltype(&::GetThemeMetric) GetThemeMetric = nullptr;
  decltype(&::GetThemeString) GetThemeString = nullptr;
  decltype(&::GetThemeBool) GetThemeBool = nullptr;
  decltype(&::GetThemeInt) GetThemeInt = nullptr;
  decltype(&::GetThemeEnumValue) GetThemeEnumValue = nullptr;
  decltype(&::GetThemePosition) GetThemePosition = nullptr;
  decltype(&::GetThemeFont) GetThemeFont = nullptr;
  decltype(&::GetThemeRect) GetThemeRect = nullptr;
  decltype(&::GetThemeMargins) GetThemeMargins = nullptr;
  decltype(&::GetThemeIntList) GetThemeIntList = nullptr;
  decltype(&::SetWindowTheme) SetWindowTheme = nullptr;
  decltype(&::GetThemeFilename) GetThemeFilename = nullptr;
  decltype(&::GetThemeSysColor) GetThemeSysColor = nullptr;
  decltype(&::GetThemeSysColorBrush) GetThemeSysColorBrush = nullptr;
  decltype(&::GetThemeSysBool) GetThemeSysBool = nullptr;
  decltype(&::GetThemeSysSize) GetThemeSysSize = nullptr;
  decltype(&::GetThemeSysFont) GetThemeSysFont = nullptr;
  decltype(&::GetThemeSysString) GetThemeSysString = nullptr;
  decltype(&::GetThemeSysInt) GetThemeSysInt = nullptr;
  decltype(&::IsThemeActive) IsThemeActive = nullptr;
  decltype(&::IsAppThemed) IsAppThemed = nullptr;
  decltype(&::GetWindowTheme) GetWindowTheme = nullptr;
  decltype(&::EnableThemeDialogTexture) EnableThemeDialogTexture = nullptr;
  decltype(&::IsThemeDialogTextureEnabled) IsThemeDialogTextureEnabled = nullptr;
  decltype(&::GetThemeAppProperties) GetThemeAppProperties = nullptr;
  decltype(&::SetThemeAppProperties) SetThemeAppProperties = nullptr;
  decltype(&::GetCurrentThemeName) GetCurrentThemeName = nullptr;
  decltype(&::GetThemeDocumentationProperty) GetThemeDocumentationProperty = nullptr;
  decltype(&::DrawThemeParentBackground) DrawThemeParentBackground = nullptr;
  decltype(&::EnableTheming) EnableTheming = nullptr;
};

// The binding; bound once when the program starts, read-only afterwards.
const TVivIzudeThemeApi& VivIzudeThemeApi();
// Binds when not bound yet (a second call does nothing).
void BindThemeApi();
void UnbindThemeApi();
// The 45 names bound, in binding order.
const char* const* VivIzudeThemeApiNames(int& ACount);
