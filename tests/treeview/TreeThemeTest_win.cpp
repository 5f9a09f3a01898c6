// The tree with and without a visual theme. Wine ships one ("light"),
// which a new prefix may or may not have turned on: the launcher sets the
// theme in the prefix's settings for one child run of this program each
// way (uxtheme reads them when it loads) and puts them back afterwards; the
// checks of each kind run only in their own child.
#include <gtest/gtest.h>

#include "rtl/Win32.h"
// After the Windows header they need.
#include <uxtheme.h>
#include <vssym32.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "rtl/ScopeExit.h"
#include "tests/support/MessagePump_win.h"
#include "tests/support/ScreenCapture_win.h"
#include "treeview/VastTreeControl_win.h"
#include "vcl/Forms.h"

namespace {

// The child's theme: "light" or "none".
constexpr const wchar_t* ChildVariable = L"QUORVEL_TREE_THEME";
constexpr const wchar_t* ThemeKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";

bool InChild() { return GetEnvironmentVariableW(ChildVariable, nullptr, 0) > 0; }
bool InChild(const std::wstring& Theme) {
  wchar_t Value[16];
  const DWORD Length = GetEnvironmentVariableW(ChildVariable, Value, 16);
  return Length > 0 && Length < 16 && Theme == Value;
}

// One string value of the theme settings, read now and written back when
// the scope ends (removed when it was not there).
class TSavedThemeValue {
public:
  TSavedThemeValue(HKEY Key, const wchar_t* Name) : FKey(Key), FName(Name) {
    wchar_t Buffer[MAX_PATH * 2];
    DWORD Size = sizeof(Buffer);
    DWORD Type = 0;
    if (RegQueryValueExW(Key, Name, nullptr, &Type, reinterpret_cast<BYTE*>(Buffer), &Size) == ERROR_SUCCESS &&
        Type == REG_SZ)
      FOld = std::wstring(Buffer, Size / sizeof(wchar_t)).c_str();
  }
  ~TSavedThemeValue() {
    if (FOld)
      Set(*FOld);
    else
      RegDeleteValueW(FKey, FName);
  }
  TSavedThemeValue(const TSavedThemeValue&) = delete;
  TSavedThemeValue& operator=(const TSavedThemeValue&) = delete;
  void Set(const std::wstring& Value) const {
    RegSetValueExW(FKey, FName, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                   static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t)));
  }

private:
  HKEY FKey;
  const wchar_t* FName;
  std::optional<std::wstring> FOld;
};

TEST(TTreeThemeLauncher, TheThemedAndTheClassicChecksPassInRunsOfTheirOwn) {
  if (InChild()) GTEST_SKIP() << "the child itself";
  wchar_t Windows[MAX_PATH];
  GetWindowsDirectoryW(Windows, MAX_PATH);
  const std::wstring ThemeFile = std::wstring(Windows) + L"\\resources\\themes\\light\\light.msstyles";
  const bool HasTheme = GetFileAttributesW(ThemeFile.c_str()) != INVALID_FILE_ATTRIBUTES;
  HKEY Key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, ThemeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Key, nullptr),
            ERROR_SUCCESS);
  const TScopeExit CloseKey([&] { RegCloseKey(Key); });
  struct TRun {
    const wchar_t* Theme;
    const wchar_t* Suite;
  };
  for (const TRun& Run : {TRun{L"light", L"TTreeThemed"}, TRun{L"none", L"TTreeClassic"}}) {
    const bool Light = std::wstring(Run.Theme) == L"light";
    SCOPED_TRACE(Light ? "light theme" : "no theme");
    if (Light && !HasTheme) continue;  // a system without Wine's theme file
    const TSavedThemeValue Active(Key, L"ThemeActive"), File(Key, L"DllName"), Colour(Key, L"ColorName"),
        Size(Key, L"SizeName");
    Active.Set(Light ? L"1" : L"0");
    if (Light) {
      File.Set(ThemeFile);
      Colour.Set(L"Blue");
      Size.Set(L"NormalSize");
    }
    wchar_t Self[MAX_PATH];
    GetModuleFileNameW(nullptr, Self, MAX_PATH);
    std::wstring Command = L"\"" + std::wstring(Self) + L"\" --gtest_filter=" + Run.Suite + L".*";
    SetEnvironmentVariableW(ChildVariable, Run.Theme);
    const TScopeExit Unset([] { SetEnvironmentVariableW(ChildVariable, nullptr); });
    STARTUPINFOW Start{};
    Start.cb = sizeof(Start);
    Start.dwFlags = STARTF_USESTDHANDLES;
    Start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    Start.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    Start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION Child{};
    ASSERT_TRUE(CreateProcessW(Self, Command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &Start, &Child));
    const TScopeExit CloseChild([&] {
      CloseHandle(Child.hThread);
      CloseHandle(Child.hProcess);
    });
    ASSERT_EQ(WaitForSingleObject(Child.hProcess, 120000), WAIT_OBJECT_0);
    DWORD Code = 1;
    GetExitCodeProcess(Child.hProcess, &Code);
    EXPECT_EQ(Code, 0u) << "the child's checks failed (their output is above)";
  }
}

// The parts of the tree the checks look at.
class TThemedTree : public TVastStringTree {
public:
  using TVastStringTree::TVastStringTree;
  using TVastTreeControl::FHotMinusBM;
  using TVastTreeControl::FHotPlusBM;
  using TVastTreeControl::FMinusBM;
  using TVastTreeControl::FPlusBM;
  using TVastTreeControl::FSelectedHotPlusBM;
  using TVastTreeControl::RecreateWindow;
};

class TThemedForm : public TForm {
public:
  explicit TThemedForm(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"ThemedForm");
    SetCaption(u"Quorvel themed tree");
    SetClientSize(320, 200);
    Tree = new TThemedTree(this);
    Tree->SetName(u"Tree");
    Tree->SetAlign(alClient);
    TVTHeader& H = Tree->Header();
    for (Integer W : {170, 120}) H.Columns().Add()->SetWidth(W);
    H.SetMainColumn(0);
    H.SetOptions(H.Options() + TVTHeaderOptions{hoVisible});
    H.Columns()[0].SetText(u"Folder");
    H.Columns()[1].SetText(u"Size");
    Tree->OnGetText = [](TBaseVastTree*, PVastNode Node, TColumnIndex Column, TVSTTextType, String& Text) {
      Text = Column == 1 ? String(u"12 KB") : (Node->Parent && Node->Parent->Parent ? u"sub " : u"folder ");
      Text += static_cast<char16_t>(u'0' + Node->Index);
    };
    Tree->OnInitNode = [](TBaseVastTree*, PVastNode Parent, PVastNode, TVastNodeInitStates& States) {
      if (!Parent) States.Include(ivsHasChildren);
    };
    Tree->OnInitChildren = [](TBaseVastTree*, PVastNode, Cardinal& Count) { Count = 2; };
    Tree->SetParent(this);
  }
  TThemedTree* Tree;
};

// The window the checks of both kinds look at; the child's theme decides
// which kind runs.
class TTreeThemeFixture : public ::testing::Test {
protected:
  explicit TTreeThemeFixture(const wchar_t* Theme) : FTheme(Theme) {}
  void SetUp() override {
    if (!InChild(FTheme)) GTEST_SKIP() << "runs in a child of its own";
    Application->Initialize();
    Form.reset(TCustomForm::Create<TThemedForm>(Application));
    Tree = Form->Tree;
    Form->Show();
    Tree->SetRootNodeCount(3);
    Tree->SetExpanded(Tree->GetFirst(), true);
    testsupport::PumpMessagesFor(40);
  }
  void TearDown() override {
    Form.reset();
    if (Application) Application->ProcessMessages();
  }
  struct TFormDeleter {
    void operator()(TCustomForm* F) const { delete F; }
  };

  // The theme's picture of Part/State on Key, at Bitmap's size, against
  // Bitmap: true when every pixel matches.
  static bool IsThemeGlyph(HTHEME Theme, int Part, int State, TBitmap& Bitmap, TColor Key) {
    TBitmap Expected(Bitmap.Width(), Bitmap.Height());
    Expected.Canvas()->Brush()->SetColor(Key);
    Expected.Canvas()->FillRect(TRect{0, 0, Bitmap.Width(), Bitmap.Height()});
    RECT R{0, 0, Bitmap.Width(), Bitmap.Height()};
    DrawThemeBackground(Theme, Expected.Canvas()->Handle(), Part, State, &R, nullptr);
    for (Integer Y = 0; Y < Bitmap.Height(); ++Y)
      for (Integer X = 0; X < Bitmap.Width(); ++X)
        if (Expected.Canvas()->Pixel(X, Y) != Bitmap.Canvas()->Pixel(X, Y)) return false;
    return true;
  }
  static bool SamePixels(TBitmap& A, TBitmap& B) {
    if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
    for (Integer Y = 0; Y < A.Height(); ++Y)
      for (Integer X = 0; X < A.Width(); ++X)
        if (A.Canvas()->Pixel(X, Y) != B.Canvas()->Pixel(X, Y)) return false;
    return true;
  }

  std::unique_ptr<TThemedForm, TFormDeleter> Form;
  TThemedTree* Tree = nullptr;
  // A pixel of the second row's selection, right of its text.
  TColor SelectedRowPixel() {
    TBitmap Client(Tree->ClientWidth(), Tree->ClientHeight());
    SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Client.Canvas()->Handle()), PRF_CLIENT);
    const TRect R = Tree->GetDisplayRect(Tree->GetFirst(), 1, false);
    return Client.Canvas()->Pixel(R.Right - 4, (R.Top + R.Bottom) / 2);
  }

private:
  std::wstring FTheme;
};

class TTreeThemed : public TTreeThemeFixture {
protected:
  TTreeThemed() : TTreeThemeFixture(L"light") {}
};

class TTreeClassic : public TTreeThemeFixture {
protected:
  TTreeClassic() : TTreeThemeFixture(L"none") {}
};

TEST_F(TTreeThemed, AThemeAwareTreeDrawsTheThemesGlyphs) {
  ASSERT_TRUE(TVastTreeControl::ThemeServicesEnabled()) << "the light theme did not load";
  EXPECT_TRUE(Tree->TreeStates().Contains(tsUseThemes));
  EXPECT_FALSE(Tree->TreeStates().Contains(tsUseExplorerTheme));
  HTHEME Theme = OpenThemeData(Tree->Handle(), L"TREEVIEW");
  ASSERT_NE(Theme, nullptr);
  const TScopeExit Close([&] { CloseThemeData(Theme); });
  SIZE Glyph{};
  ASSERT_EQ(GetThemePartSize(Theme, nullptr, TVP_GLYPH, GLPS_CLOSED, nullptr, TS_TRUE, &Glyph), S_OK);
  // The glyph's own size, keyed on magenta; hot pictures are copies.
  EXPECT_EQ(Tree->FPlusBM->Width(), Glyph.cx);
  EXPECT_EQ(Tree->FPlusBM->Height(), Glyph.cy);
  const TColor Magenta = static_cast<TColor>(0xFF00FF);
  EXPECT_EQ(Tree->FPlusBM->TransparentColor(), Magenta);
  EXPECT_TRUE(IsThemeGlyph(Theme, TVP_GLYPH, GLPS_CLOSED, *Tree->FPlusBM, Magenta));
  EXPECT_TRUE(IsThemeGlyph(Theme, TVP_GLYPH, GLPS_OPENED, *Tree->FMinusBM, Magenta));
  EXPECT_FALSE(SamePixels(*Tree->FPlusBM, *Tree->FMinusBM));
  EXPECT_TRUE(SamePixels(*Tree->FHotPlusBM, *Tree->FPlusBM));
  EXPECT_TRUE(SamePixels(*Tree->FSelectedHotPlusBM, *Tree->FHotPlusBM));
  // Not theme aware: the classic boxes again.
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetPaintOptions(O.PaintOptions() - TVTPaintOptions{toThemeAware});
  EXPECT_FALSE(Tree->TreeStates().Contains(tsUseThemes));
  EXPECT_EQ(Tree->FPlusBM->Width(), 9);
  EXPECT_EQ(Tree->FPlusBM->Canvas()->Pixel(4, 2), ColorToRGB(Tree->Font()->Color()));
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toThemeAware});
  Tree->SetSelected(Tree->GetFirst(), true);
  Tree->SetFocus();
  testsupport::PumpMessagesFor(40);
  testsupport::ScreenImageOfWindow(Form->Handle())->SaveToFile(u"treetheme_themed.bmp");
}

TEST_F(TTreeThemed, TheExplorerThemeGivesHotGlyphsKeyedOnTheMainColumnsColour) {
  ASSERT_TRUE(TVastTreeControl::ThemeServicesEnabled());
  const TColor ColumnColour = RGBToColor(255, 250, 225);
  Tree->Header().Columns()[0].SetColor(ColumnColour);
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toUseExplorerTheme, toHotTrack});
  O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toFullRowSelect});
  Tree->RecreateWindow();
  testsupport::PumpMessagesFor(20);
  ASSERT_TRUE(Tree->TreeStates().Contains(tsUseExplorerTheme));
  HTHEME Theme = OpenThemeData(Tree->Handle(), L"TREEVIEW");
  ASSERT_NE(Theme, nullptr);
  const TScopeExit Close([&] { CloseThemeData(Theme); });
  EXPECT_EQ(Tree->FPlusBM->TransparentColor(), ColumnColour);
  EXPECT_TRUE(IsThemeGlyph(Theme, TVP_GLYPH, GLPS_CLOSED, *Tree->FPlusBM, ColumnColour));
  if (IsThemePartDefined(Theme, TVP_HOTGLYPH, 0)) {
    EXPECT_TRUE(IsThemeGlyph(Theme, TVP_HOTGLYPH, HGLPS_CLOSED, *Tree->FHotPlusBM, ColumnColour));
    EXPECT_TRUE(IsThemeGlyph(Theme, TVP_HOTGLYPH, HGLPS_OPENED, *Tree->FHotMinusBM, ColumnColour));
  }
  // On screen the glyph is the theme's, drawn over the cell: under the
  // mouse the hot one.
  PVastNode Closed = Tree->GetNextSibling(Tree->GetFirst());
  TVTOffsets Offsets{};
  Tree->GetOffsets(Closed, Offsets, ofsToggleButton, 0);
  const TRect Row = Tree->GetDisplayRect(Closed, NoColumn, false);
  const Integer W = Tree->FPlusBM->Width();
  const TPoint Centre{Offsets[ofsToggleButton] + W / 2, (Row.Top + Row.Bottom) / 2};
  auto ButtonOnScreen = [&] {
    TBitmap Client(Tree->ClientWidth(), Tree->ClientHeight());
    SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Client.Canvas()->Handle()), PRF_CLIENT);
    // The button's column of the row, whatever its height.
    auto Button = std::make_unique<TBitmap>(W, Row.Height());
    BitBlt(Button->Canvas()->Handle(), 0, 0, W, Row.Height(), Client.Canvas()->Handle(), Offsets[ofsToggleButton],
           Row.Top, SRCCOPY);
    return Button;
  };
  POINT S{Tree->ClientWidth() - 3, Tree->ClientHeight() - 3};
  ClientToScreen(Tree->Handle(), &S);
  SetCursorPos(S.x, S.y);
  SendMessageW(Tree->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(Tree->ClientWidth() - 3, Tree->ClientHeight() - 3));
  auto Cold = ButtonOnScreen();
  POINT B{Centre.X, Centre.Y};
  ClientToScreen(Tree->Handle(), &B);
  SetCursorPos(B.x, B.y);
  SendMessageW(Tree->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(Centre.X, Centre.Y));
  ASSERT_EQ(Tree->HotNode(), Closed);
  auto Hot = ButtonOnScreen();
  if (IsThemePartDefined(Theme, TVP_HOTGLYPH, 0)) {
    EXPECT_FALSE(SamePixels(*Cold, *Hot));
  }
  Cold->SaveToFile(u"treetheme_explorer_button.bmp");
  Hot->SaveToFile(u"treetheme_explorer_hotbutton.bmp");
  // The selection is the theme's item, not a fill in the selection colour.
  Tree->SetFocus();
  Tree->SetSelected(Tree->GetFirst(), true);
  testsupport::PumpMessagesFor(40);
  EXPECT_NE(SelectedRowPixel(), ColorToRGB(Tree->Colors().FocusedSelectionColor()));
  testsupport::ScreenImageOfWindow(Form->Handle())->SaveToFile(u"treetheme_explorer.bmp");
  SetCursorPos(0, 0);
}

// Without a theme the explorer option changes nothing: the buttons are the
// classic boxes, keyed on magenta, with a bar in the font's colour and a
// cross for the closed node, and selections are filled in their colours.
TEST_F(TTreeClassic, WithoutAThemeTheTreeKeepsTheClassicLook) {
  ASSERT_FALSE(TVastTreeControl::ThemeServicesEnabled());
  TCustomVastTreeOptions& O = Tree->TreeOptions();
  O.SetPaintOptions(O.PaintOptions() + TVTPaintOptions{toUseExplorerTheme, toHotTrack});
  O.SetSelectionOptions(O.SelectionOptions() + TVTSelectionOptions{toFullRowSelect});
  Tree->RecreateWindow();
  testsupport::PumpMessagesFor(20);
  EXPECT_FALSE(Tree->TreeStates().Contains(tsUseThemes));
  EXPECT_FALSE(Tree->TreeStates().Contains(tsUseExplorerTheme));
  TBitmap& Plus = *Tree->FPlusBM;
  TBitmap& Minus = *Tree->FMinusBM;
  EXPECT_EQ(Plus.Width(), 9);
  EXPECT_EQ(Plus.Height(), 9);
  EXPECT_EQ(Plus.TransparentColor(), static_cast<TColor>(0xFF00FF));
  const TColor Bar = ColorToRGB(Tree->Font()->Color());
  EXPECT_EQ(Plus.Canvas()->Pixel(4, 4), Bar);
  EXPECT_EQ(Plus.Canvas()->Pixel(4, 2), Bar);   // the cross's upright
  EXPECT_NE(Minus.Canvas()->Pixel(4, 2), Bar);  // none in the minus
  EXPECT_EQ(Plus.Canvas()->Pixel(0, 0), ColorToRGB(Tree->Colors().TreeLineColor()));
  EXPECT_TRUE(SamePixels(*Tree->FHotPlusBM, Plus));
  Tree->SetFocus();
  Tree->SetSelected(Tree->GetFirst(), true);
  testsupport::PumpMessagesFor(40);
  EXPECT_EQ(SelectedRowPixel(), ColorToRGB(Tree->Colors().FocusedSelectionColor()));
  testsupport::ScreenImageOfWindow(Form->Handle())->SaveToFile(u"treetheme_classic.bmp");
}

}  // namespace
