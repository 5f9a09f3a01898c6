#include <gtest/gtest.h>

#include <algorithm>

#include "controls/OxSpinModel.h"
#include "rtl/Exceptions.h"
#include "rtl/Unicode.h"

namespace {

// An edit in memory that behaves as the system's edit does for the model:
// setting the text moves the caret to the start and, once the window
// exists, runs the change handling; typing replaces the selection.
class TFakeSpinEdit : public IOxSpinEditHost {
public:
  explicit TFakeSpinEdit(const TFormatSettings& Settings) : FSettings(Settings) { Model.SetFormatSettings(&FSettings); }

  TOxSpinValueModel Model{*this};
  String Text = u"0";
  Integer SelStart = 0;
  Integer SelLength = 0;
  bool IsModified = false;
  bool Window = true;
  bool IsLoading = false;
  bool IsReadOnly = false;
  std::vector<double> Changes;  // the value at each OnChange
  int TopClicks = 0;
  int BottomClicks = 0;
  int Beeps = 0;

  String EditText() override { return Text; }
  void SetEditText(const String& Value) override {
    if (Value == Text) return;
    Text = Value;
    SelStart = SelLength = 0;
    if (Window) Model.HandleTextChange();
  }
  Integer CaretPos() override { return SelStart; }
  void SetCaretPos(Integer Value) override {
    SelStart = std::clamp<Integer>(Value, 0, static_cast<Integer>(Text.size()));
    SelLength = 0;
  }
  bool EditModified() override { return IsModified; }
  void SetEditModified(bool Value) override { IsModified = Value; }
  bool WindowExists() override { return Window; }
  bool OwnerLoading() override { return IsLoading; }
  bool EditReadOnly() override { return IsReadOnly; }
  void FireChange() override { Changes.push_back(Model.Value()); }
  void TopClicked() override { ++TopClicks; }
  void BottomClicked() override { ++BottomClicks; }
  void SpinUp() override { Model.Spin(true); }
  void SpinDown() override { Model.Spin(false); }
  void SignalInputError() override { ++Beeps; }

  void SelectAll() {
    SelStart = 0;
    SelLength = static_cast<Integer>(Text.size());
  }
  // Characters as typed: filtered by the model, then edited in, then the
  // change notification.
  void Type(const String& Keys) {
    for (Char c : Keys) {
      Char key = c;
      Model.KeyPress(key);
      if (key == 0) continue;
      if (key == 8) {
        if (SelLength == 0 && SelStart > 0) --SelStart, SelLength = 1;
      }
      Text.erase(static_cast<std::size_t>(SelStart), static_cast<std::size_t>(SelLength));
      if (key != 8) Text.insert(Text.begin() + SelStart++, key);
      SelLength = 0;
      IsModified = true;
      Model.HandleTextChange();
    }
  }
  // A key press as the edit sees it after the model's KeyDown.
  void Press(Word Key) {
    Model.KeyDown(Key);
    switch (Key) {
      case SpinKeyLeft:
        SelStart = std::max(0, SelStart - 1);
        break;
      case SpinKeyRight:
        SelStart = std::min<Integer>(SelStart + 1, static_cast<Integer>(Text.size()));
        break;
      case SpinKeyDelete:
        if (SelStart < static_cast<Integer>(Text.size())) {
          Text.erase(static_cast<std::size_t>(SelStart), 1);
          Model.HandleTextChange();
        }
        break;
      case SpinKeyBack:
        Type(String(1, u'\b'));
        break;
      default:
        break;
    }
  }

private:
  TFormatSettings FSettings;
};

// The port and allowance fields as the forms build them: limits 1..65534,
// digit grouping, no decimals, while loading and before the window exists.
void BuildAsTheFormsDo(TFakeSpinEdit& Edit, double Value) {
  Edit.IsLoading = true;
  Edit.Window = false;
  Edit.Model.SetMaxValue(65534);
  Edit.Model.SetMinValue(1);
  Edit.Model.SetDecimal(0);
  Edit.Model.SetThousands(true);
  Edit.Model.SetValue(Value);
  Edit.Model.Loaded();
  Edit.IsLoading = false;
  Edit.Window = true;
}

struct TLocale {
  const char* Name;
  TFormatSettings Settings;
  String Group;  // the thousand separator as text
};

std::vector<TLocale> Locales() {
  return {{"English", TFormatSettings::English(), u","},
          {"French", TFormatSettings::French(), String(1, FrenchThousandSeparator)}};
}

String ReplaceAll(String S, const String& From, const String& To) {
  for (std::size_t at = S.find(From); at != String::npos; at = S.find(From, at + To.size()))
    S.replace(at, From.size(), To);
  return S;
}

String Grouped(const TLocale& L, const char* Text) { return ReplaceAll(UTF8ToUTF16(Text), u",", L.Group); }

TEST(SpinModel, BuildingTheFormFiresNoChangeAndTurnsBothChecksOn) {
  TFakeSpinEdit edit(TFormatSettings::English());
  BuildAsTheFormsDo(edit, 21);
  EXPECT_EQ(edit.Text, u"21");
  EXPECT_TRUE(edit.Model.CheckMinValue());
  EXPECT_TRUE(edit.Model.CheckMaxValue());
  EXPECT_TRUE(edit.Changes.empty());
  EXPECT_EQ(edit.Model.AsInteger(), 21);
  // Loading 70000 would have been cropped already.
  TFakeSpinEdit big(TFormatSettings::English());
  BuildAsTheFormsDo(big, 70000);
  EXPECT_EQ(big.Text, u"65,534");
  EXPECT_TRUE(big.Changes.empty());
}

TEST(SpinModel, TypingGroupsDigitsAndCropsToTheLimits) {
  struct {
    const char* Typed;
    const char* Text;  // with "," standing for the locale's separator
    Integer Caret;
    std::vector<double> Changes;
  } const cases[] = {
      {"1234", "1,234", 5, {1, 12, 123, 1234}},
      {"70000", "65,534", 6, {7, 70, 700, 7000, 65534}},
      {"0", "1", 1, {1}},        // below the minimum: cropped at once
      {"21", "21", 2, {2, 21}},  // each typed digit changed the value
      {"99999", "65,534", 6, {9, 99, 999, 9999, 65534}},
      {"12a3", "123", 3, {1, 12, 123}},  // the letter is refused
  };
  for (const TLocale& locale : Locales()) {
    for (const auto& c : cases) {
      TFakeSpinEdit edit(locale.Settings);
      BuildAsTheFormsDo(edit, 21);
      edit.SelectAll();
      edit.Type(UTF8ToUTF16(c.Typed));
      EXPECT_EQ(edit.Text, Grouped(locale, c.Text)) << locale.Name << " typing " << c.Typed;
      EXPECT_EQ(edit.SelStart, c.Caret) << locale.Name << " typing " << c.Typed;
      EXPECT_EQ(edit.Changes, c.Changes) << locale.Name << " typing " << c.Typed;
    }
  }
}

TEST(SpinModel, CaretStaysBesideItsDigitAcrossGroupSeparators) {
  for (const TLocale& locale : Locales()) {
    const String sep = locale.Group;
    TFakeSpinEdit edit(locale.Settings);
    BuildAsTheFormsDo(edit, 1000);
    ASSERT_EQ(edit.Text, u"1" + sep + u"000");
    // Delete the digit after the separator: "1,00" is 100, shown "100";
    // the separator before the caret went, so the caret moves back one.
    edit.SetCaretPos(2);
    edit.Press(SpinKeyDelete);
    EXPECT_EQ(edit.Text, u"100") << locale.Name;
    EXPECT_EQ(edit.SelStart, 1) << locale.Name;
    // Type in the middle: 1|00 + "5" gives 1,500 with the caret after 5.
    edit.Type(u"5");
    EXPECT_EQ(edit.Text, u"1" + sep + u"500") << locale.Name;
    EXPECT_EQ(edit.SelStart, 3) << locale.Name;
    // Backspace at the end: 1,50 is 150; the caret stays at the end.
    edit.SetCaretPos(5);
    edit.Press(SpinKeyBack);
    EXPECT_EQ(edit.Text, u"150") << locale.Name;
    EXPECT_EQ(edit.SelStart, 3) << locale.Name;
    EXPECT_EQ(edit.Changes, (std::vector<double>{100, 1500, 150})) << locale.Name;
  }
}

TEST(SpinModel, ClearingTheTextGivesTheMinimum) {
  TFakeSpinEdit edit(TFormatSettings::French());
  BuildAsTheFormsDo(edit, 10);
  edit.SetEditText(u"");
  EXPECT_EQ(edit.Text, u"1");
  EXPECT_EQ(edit.Model.Value(), 1);
  EXPECT_EQ(edit.Changes, (std::vector<double>{1}));
}

TEST(SpinModel, RefusedKeysBeepAndChangeNothing) {
  for (const TLocale& locale : Locales()) {
    TFakeSpinEdit edit(locale.Settings);
    BuildAsTheFormsDo(edit, 21);
    edit.SetCaretPos(2);
    edit.Type(u"x.,E ");
    EXPECT_EQ(edit.Text, u"21") << locale.Name;
    EXPECT_EQ(edit.Beeps, 5) << locale.Name;
    EXPECT_TRUE(edit.Changes.empty());
    // '.' is taken as the decimal separator, which an integer refuses.
    Char key = u'.';
    edit.Model.KeyPress(key);
    EXPECT_EQ(key, 0);
    key = u'\b';
    edit.Model.KeyPress(key);
    EXPECT_EQ(key, u'\b');
  }
}

TEST(SpinModel, ArrowsAndSpinsStayWithinTheLimits) {
  TFakeSpinEdit edit(TFormatSettings::English());
  BuildAsTheFormsDo(edit, 65533);
  edit.Press(SpinKeyUp);
  EXPECT_EQ(edit.Text, u"65,534");
  EXPECT_TRUE(edit.IsModified);
  edit.Press(SpinKeyUp);  // at the maximum: the text stays, no OnChange
  EXPECT_EQ(edit.Text, u"65,534");
  EXPECT_EQ(edit.Changes, (std::vector<double>{65534}));
  EXPECT_EQ(edit.TopClicks, 2);
  edit.Model.SetAsInteger(2);
  edit.Press(SpinKeyDown);
  edit.Press(SpinKeyDown);
  EXPECT_EQ(edit.Text, u"1");
  EXPECT_EQ(edit.BottomClicks, 2);
  // The arrow keys are consumed; without ArrowKeys they are not.
  Word key = SpinKeyUp;
  edit.Model.KeyDown(key);
  EXPECT_EQ(key, 0);
  edit.Model.SetArrowKeys(false);
  key = SpinKeyUp;
  edit.Model.KeyDown(key);
  EXPECT_EQ(key, SpinKeyUp);
  EXPECT_EQ(edit.Text, u"2");
  // A read-only edit refuses to spin and beeps.
  edit.IsReadOnly = true;
  edit.Model.Spin(true);
  EXPECT_EQ(edit.Text, u"2");
  EXPECT_EQ(edit.Beeps, 1);
}

TEST(SpinModel, AsIntegerWritesThroughTheLimitsAndReadsGroupedText) {
  TFakeSpinEdit edit(TFormatSettings::French());
  BuildAsTheFormsDo(edit, 21);
  edit.Model.SetAsInteger(0);
  EXPECT_EQ(edit.Text, u"1");
  edit.Model.SetAsInteger(1234);
  EXPECT_EQ(edit.Text, String(u"1") + FrenchThousandSeparator + u"234");
  EXPECT_EQ(edit.Model.AsInteger(), 1234);
  edit.Model.SetAsInteger(1'000'000);
  EXPECT_EQ(edit.Model.AsInteger(), 65534);
}

TEST(SpinModel, CheckingOnlyOnExitKeepsTheTypedTextUntilExit) {
  TFakeSpinEdit edit(TFormatSettings::English());
  BuildAsTheFormsDo(edit, 21);
  edit.Model.SetCheckOptions({coCheckOnExit});
  edit.Model.Enter();
  edit.SelectAll();
  edit.Type(u"0");
  EXPECT_EQ(edit.Text, u"0");
  try {
    edit.Model.Exit();
    FAIL() << "no range error";
  } catch (const ERangeError& e) {
    EXPECT_EQ(e.Message(), u"Value must be between 1 and 65534");
  }
  EXPECT_EQ(edit.Text, u"0");
  // With cropping allowed, leaving crops silently.
  edit.Model.SetCheckOptions({coCheckOnExit, coCropBeyondLimit});
  edit.Model.KillFocus();
  EXPECT_EQ(edit.Text, u"1");
  EXPECT_NO_THROW(edit.Model.Exit());
}

TEST(SpinModel, LimitsTurnTheirChecksOnAndOff) {
  TFakeSpinEdit edit(TFormatSettings::English());
  edit.Model.SetValue(-5);
  EXPECT_EQ(edit.Text, u"-5");
  EXPECT_FALSE(edit.Model.CheckMinValue());
  edit.Model.SetMinValue(-2);  // both checks come on; the text is cropped
  EXPECT_TRUE(edit.Model.CheckMinValue());
  EXPECT_TRUE(edit.Model.CheckMaxValue());
  EXPECT_EQ(edit.Text, u"-2");
  edit.Model.SetValue(7);
  EXPECT_EQ(edit.Text, u"0");  // max 0 is checked too
  edit.Model.SetMinValue(0);   // back to no limits: both go off
  EXPECT_FALSE(edit.Model.CheckMinValue());
  EXPECT_FALSE(edit.Model.CheckMaxValue());
  edit.Model.SetValue(7);
  EXPECT_EQ(edit.Text, u"7");
  // A non-zero limit is always checked.
  edit.Model.SetMaxValue(5);
  edit.Model.SetCheckMaxValue(false);
  EXPECT_TRUE(edit.Model.CheckMaxValue());
  EXPECT_EQ(edit.Text, u"5");
}

TEST(SpinModel, CropPrefersTheMaximumWhenTheLimitsCross) {
  TFakeSpinEdit edit(TFormatSettings::English());
  edit.Model.SetMinValue(10);
  edit.Model.SetMaxValue(5);
  EXPECT_EQ(edit.Model.CropToLimits(7), 5);
  EXPECT_EQ(edit.Model.CropToLimits(3), 10);  // both tests look at 3 itself
  EXPECT_EQ(edit.Model.CropToLimits(12), 5);
  EXPECT_THROW(edit.Model.CheckLimits(true, 7), ERangeError);
  EXPECT_EQ(edit.Model.CheckLimits(false, 7), 5);
}

TEST(SpinModel, MinusSignJustTypedIsKept) {
  TFakeSpinEdit edit(TFormatSettings::English());
  edit.Model.SetMinValue(-100);
  edit.Model.SetMaxValue(100);
  edit.Model.SetValue(0);
  // "-0" reads as 0, which would show as "0": the minus stays so that the
  // next digit makes the number negative.
  edit.SetCaretPos(0);
  edit.Type(u"-");
  EXPECT_EQ(edit.Text, u"-0");
  edit.SetCaretPos(2);
  edit.Type(u"5");
  EXPECT_EQ(edit.Text, u"-5");
  EXPECT_EQ(edit.Model.Value(), -5);
}

TEST(SpinModel, FloatsWithTheirOwnSeparators) {
  for (const TLocale& locale : Locales()) {
    const Char d = locale.Settings.DecimalSeparator;
    TFakeSpinEdit edit(locale.Settings);
    edit.Model.SetValueType(vtFloat);
    edit.Model.SetValue(2.5);
    EXPECT_EQ(edit.Text, String(u"2") + d + u"50") << locale.Name;
    // A second separator only moves the caret after the first.
    edit.SetCaretPos(0);
    Char key = u'.';
    edit.Model.KeyPress(key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(edit.SelStart, 2);
    // Delete before the separator steps over it; so does Backspace after.
    edit.SetCaretPos(1);
    Word k = SpinKeyDelete;
    edit.Model.KeyDown(k);
    EXPECT_EQ(k, SpinKeyRight);
    edit.SetCaretPos(2);
    k = SpinKeyBack;
    edit.Model.KeyDown(k);
    EXPECT_EQ(k, SpinKeyLeft);
    // Typing: "." becomes the separator; E once.
    edit.Text = u"3";
    EXPECT_TRUE(edit.Model.IsValidKeyChar(d));
    EXPECT_TRUE(edit.Model.IsValidKeyChar(u'e'));
    edit.Text = u"3e5";
    EXPECT_FALSE(edit.Model.IsValidKeyChar(u'E'));
    EXPECT_EQ(edit.Model.Value(), 300000) << locale.Name;
    edit.Model.SetDecimal(0);
    edit.Model.SetValue(2.5);
    EXPECT_EQ(edit.Text, u"3") << locale.Name;  // ffFixed rounds half away from zero
  }
}

TEST(SpinModel, FloatDisplayFormatShowsPlainWhileFocused) {
  TFakeSpinEdit edit(TFormatSettings::French());
  edit.Model.SetValueType(vtFloat);
  edit.Model.SetDisplayFormat(u"#,##0.00 'Mo'");
  edit.Model.SetValue(1234.5);
  EXPECT_EQ(edit.Text, String(u"1") + FrenchThousandSeparator + u"234,50 Mo");
  EXPECT_EQ(edit.Model.Value(), 1234.5);
  edit.IsModified = true;
  edit.Model.Enter();
  EXPECT_EQ(edit.Text, u"1234,50");
  EXPECT_TRUE(edit.IsModified);  // the reformat keeps the modified flag
  edit.Model.Exit();
  EXPECT_EQ(edit.Text, String(u"1") + FrenchThousandSeparator + u"234,50 Mo");
}

TEST(SpinModel, HexValues) {
  TFakeSpinEdit edit(TFormatSettings::English());
  edit.Model.SetThousands(true);
  edit.Model.SetIncrement(2.6);
  edit.Model.SetValueType(vtHex);
  EXPECT_FALSE(edit.Model.Thousands());
  EXPECT_EQ(edit.Model.Increment(), 3);
  edit.Model.SetValue(255);
  EXPECT_EQ(edit.Text, u"FF");
  edit.Model.Spin(true);
  EXPECT_EQ(edit.Text, u"102");
  EXPECT_TRUE(edit.Model.IsValidKeyChar(u'c'));
  EXPECT_FALSE(edit.Model.IsValidKeyChar(u'g'));
  edit.Text = u"zz";
  EXPECT_EQ(edit.Model.Value(), 0);
}

TEST(SpinModel, StringValuesWalkTheItems) {
  TFakeSpinEdit edit(TFormatSettings::English());
  edit.Model.SetValueType(vtString);
  // No items: an empty text, not item -1.
  edit.Model.SetValue(3);
  EXPECT_EQ(edit.Text, u"");
  EXPECT_EQ(edit.Model.Value(), 0);
  TStringList items;
  items.Add(u"Mio");
  items.Add(u"Gio");
  items.Add(u"Tio");
  edit.Model.SetItems(&items);
  EXPECT_EQ(edit.Text, u"Mio");
  edit.Model.Spin(true);
  EXPECT_EQ(edit.Text, u"Gio");
  edit.Model.SetValue(10);
  EXPECT_EQ(edit.Text, u"Tio");
  edit.Model.SetValue(-4);
  EXPECT_EQ(edit.Text, u"Mio");
  edit.Text = u"Tio";
  EXPECT_EQ(edit.Model.Value(), 2);
}

TEST(SpinModel, EditorDisabledRefusesEverythingButControlCharacters) {
  TFakeSpinEdit edit(TFormatSettings::English());
  edit.Model.SetEditorEnabled(false);
  EXPECT_FALSE(edit.Model.IsValidKeyChar(u'5'));
  EXPECT_FALSE(edit.Model.IsValidKeyChar(u'\b'));
  EXPECT_TRUE(edit.Model.IsValidKeyChar(u'\r'));
}

TEST(SpinModel, NoChangeHandlingBeforeTheWindowExists) {
  TFakeSpinEdit edit(TFormatSettings::English());
  edit.Window = false;
  edit.Model.SetMinValue(1);
  edit.Model.SetMaxValue(10);
  edit.Text = u"50";
  edit.Model.HandleTextChange();
  EXPECT_EQ(edit.Text, u"50");
  EXPECT_TRUE(edit.Changes.empty());
}

// ---------------------------------------------------------------- geometry

TEST(SpinGeometry, ButtonWidthFollowsTheResolution) {
  struct {
    Integer PPI, ScrollBar, Width;
  } const cases[] = {
      {96, 17, 15},   {144, 30, 22}, {144, 17, 17}, {480, 100, 75},
      {960, 100, 75}, {0, 17, 15},   {-1, 12, 12},  {120, 40, 19},
  };
  for (const auto& c : cases) EXPECT_EQ(SpinButtonWidthForPPI(c.PPI, c.ScrollBar), c.Width) << c.PPI;
}

TEST(SpinGeometry, HalvesOfTheButton) {
  EXPECT_EQ(SpinButtonHalfAt(sbsDefault, 20, 20, 15, 15), sbBottomDown);
  EXPECT_EQ(SpinButtonHalfAt(sbsDefault, 20, 20, 5, 5), sbTopDown);
  EXPECT_EQ(SpinButtonHalfAt(sbsDefault, 20, 20, 10, 10), sbTopDown);  // on the diagonal
  EXPECT_EQ(SpinButtonHalfAt(sbsClassic, 14, 17, 2, 8), sbTopDown);
  EXPECT_EQ(SpinButtonHalfAt(sbsClassic, 14, 17, 2, 9), sbBottomDown);
}

TEST(SpinGeometry, ButtonWindowPlacement) {
  EXPECT_EQ(SpinButtonWindowBounds(bkClassic, true, false, 60, 21, 15), Bounds(41, -1, 15, 18));
  EXPECT_EQ(SpinButtonWindowBounds(bkDiagonal, true, false, 60, 21, 15), Bounds(38, -1, 18, 18));
  EXPECT_EQ(SpinButtonWindowBounds(bkClassic, false, false, 60, 21, 15), Bounds(45, 0, 15, 21));
  EXPECT_EQ(SpinButtonWindowBounds(bkDiagonal, false, false, 60, 21, 15), Bounds(39, 0, 21, 21));
  EXPECT_EQ(SpinButtonWindowBounds(bkClassic, true, true, 60, 21, 15), Rect(-1, -1, 17, 17));
  EXPECT_EQ(SpinButtonWindowBounds(bkDiagonal, false, true, 60, 21, 15), Rect(0, 0, 21, 21));
  EXPECT_EQ(SpinEditTextRect(false, 56, 17, 15), Rect(0, 0, 39, 18));
  EXPECT_EQ(SpinEditTextRect(true, 56, 17, 15), Rect(16, 0, 55, 18));
  EXPECT_EQ(SpinEditTextRect(false, 56, 17, 0), Rect(0, 0, 54, 18));
}

}  // namespace
