#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>

#include "rtl/Win32.h"

namespace {

// The test program links vcl/res/manifest.rc: the loader must have bound
// comctl32 to the side-by-side common controls 6 assembly. (Wine's copy
// still answers 5.81 to DllGetVersion, so the version number proves
// nothing there; where the DLL came from does.)
TEST(Manifest, BindsCommonControls6) {
  ACTCTX_SECTION_KEYED_DATA data{};
  data.cbSize = sizeof(data);
  EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data));
  // The version 6 window classes (themed buttons and edits) come from it too.
  data = {};
  data.cbSize = sizeof(data);
  EXPECT_TRUE(
      FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_WINDOW_CLASS_REDIRECTION, L"Button", &data));

  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  wchar_t path[MAX_PATH]{};
  ASSERT_GT(GetModuleFileNameW(comctl, path, MAX_PATH), 0u);
  std::wstring lower(path);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return std::towlower(c); });
  EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << lower;
  EXPECT_NE(lower.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos) << lower;
  // Only version 6 exports the task dialog.
  EXPECT_NE(GetProcAddress(comctl, "TaskDialogIndirect"), nullptr);
}

// The process's own activation context carries the DPI setting the window
// manager reads at start-up.
TEST(Manifest, DeclaresSystemDpiAwareness) {
  HANDLE context = nullptr;
  ASSERT_TRUE(GetCurrentActCtx(&context));
  wchar_t value[32]{};
  SIZE_T written = 0;
  const BOOL found = QueryActCtxSettingsW(0, context, nullptr, L"dpiAware", value, 32, &written);
  ReleaseActCtx(context);
  ASSERT_TRUE(found);
  EXPECT_STREQ(value, L"true");
  EXPECT_TRUE(IsProcessDPIAware());
}

}  // namespace
