#pragma once
// Visual styles, looked up by name in uxtheme.dll (absent or inactive
// themes simply answer "not themed"): whether they are in use, and the few
// drawing calls the spin buttons need.
#include "rtl/Win32.h"

// Visual styles are active and this program draws with them (common
// controls 6 through its manifest).
bool StyleServicesEnabled();

// A theme handle for a class ("SPIN"), closed with the object; empty when
// styles are off.
class TThemeData {
public:
  explicit TThemeData(const wchar_t* ClassList);
  ~TThemeData();
  TThemeData(const TThemeData&) = delete;
  TThemeData& operator=(const TThemeData&) = delete;
  explicit operator bool() const { return FTheme != nullptr; }
  void DrawBackground(HDC DC, int Part, int State, const RECT& Rect, const RECT* Clip = nullptr) const;
  // The colour property, or Fallback when the theme has none.
  COLORREF Color(int Part, int State, int Property, COLORREF Fallback) const;

private:
  void* FTheme = nullptr;  // HTHEME
};
