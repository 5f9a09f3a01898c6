// The tool bar and its elements through the settings writer and reader:
// every published value comes back in a fresh tool bar, and a bad document
// is refused without harm.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "chart/widgets/VivIzudePersistence.h"
#include "chart/widgets/win/VivIzudeToolBar.h"
#include "tests/chart/widgets/win/SettingsTestSupport.h"
#include "tests/chart/widgets/win/WidgetsTestSupport.h"

using namespace settings_test;
using namespace widgets_test;

namespace {

// One tool bar with a button, a separator and every picker kind.
struct TBarSet {
  TVivIzudeToolBar* Bar;
  TVivIzudeToolBarButton* Button;
  TVivIzudeToolBarSeparator* Separator;
  TVivIzudeToolBarColorPicker* Color;
  TVivIzudeToolBarBitmapPicker* Bitmap;
  TVivIzudeToolBarItemPicker* Item;
  TVivIzudeToolBarFontNamePicker* FontName;
  TVivIzudeToolBarFontSizePicker* FontSize;
  std::vector<TVivIzudeCustomControl*> All() const {
    return {Bar, Button, Separator, Color, Bitmap, Item, FontName, FontSize};
  }
};

TBarSet MakeBar(TCustomForm* Form) {
  TBarSet S{};
  S.Bar = new TVivIzudeToolBar(Form);
  S.Bar->SetParent(Form);
  S.Button = S.Bar->AddButton(-1, -1, u"", u"", u"Go", -1);
  S.Separator = S.Bar->AddSeparator(-1);
  S.Color = S.Bar->AddColorPicker(-1);
  S.Bitmap = S.Bar->AddBitmapPicker(-1);
  S.Item = S.Bar->AddItemPicker(-1);
  S.FontName = S.Bar->AddFontNamePicker(-1);
  S.FontSize = S.Bar->AddFontSizePicker(-1);
  return S;
}

// A published value read back as text, so that one table covers every type.
struct TCase {
  const char* Name;
  std::function<std::string(const TBarSet&)> Read;
  std::string Expected;
};

TEST(ToolBarSettings, EveryPublishedValueComesBackInAFreshToolBar) {
  TFormPtr Form = NewForm(800, 200);
  const TBarSet A = MakeBar(Form.get());

  // Values away from every default.
  A.Bar->SetAutoHeight(false);
  A.Bar->SetAutoAlign(false);
  A.Bar->SetCanCompact(false);
  A.Bar->SetWordWrapping(true);
  A.Bar->SetMinimumWidth(44.5f);
  A.Bar->SetCompactWidth(70);
  A.Bar->SetCompactBitmapSize(20);
  A.Bar->SetText(u"Tools");
  A.Bar->QuickMenuButtonHint = u"More tools";
  A.Bar->Appearance()->SetDragGripColor(0x102030);
  A.Bar->Appearance()->SetHorizontalSpacing(5);
  A.Bar->Appearance()->SetSeparator(true);
  A.Bar->Appearance()->Fill()->SetColor(0x405060);
  A.Bar->OptionsMenu()->SetShowItemText(false);
  A.Bar->OptionsMenu()->SetItemBitmapWidth(40);
  A.Bar->CompactAppearance()->SetRounding(7);
  A.Bar->CompactBitmaps()->AddBitmapName(u"compact", 1.5f);
  A.Bar->Font()->SetName(u"Arial");
  A.Bar->Font()->SetColor(0x0000C0);

  A.Button->SetAutoOptionsMenuText(u"Go on");
  A.Button->SetDropDownKind(ddkDropDown);
  A.Button->SetDropDownPosition(ddpBottom);
  A.Button->SetDropDownWidth(210);
  A.Button->SetDropDownHeight(95);
  A.Button->SetShowFocus(true);
  A.Button->SetStretchText(true);
  A.Button->SetStretchBitmapIfNoText(false);
  A.Button->SetHorizontalTextAlign(gtaTrailing);
  A.Button->SetVerticalTextAlign(gtaLeading);
  A.Button->SetTrimming(gttWord);
  A.Button->SetWordWrapping(true);
  A.Button->SetMinimumLayout(bblLabel);
  A.Button->SetMaximumLayout(bblLabel);
  A.Button->SetCompactLayout(bblBitmap);
  A.Button->SetBitmapPosition(bbpTop);
  A.Button->SetBitmapSize(20);
  A.Button->SetAutoBitmapSize(true);
  A.Button->SetLargeLayoutBitmapSize(40);
  A.Button->SetLastElement(true);
  A.Button->SetState(esLarge);
  A.Button->Appearance()->SetRounding(5);
  A.Button->Appearance()->SetShowInnerStroke(false);
  A.Button->Appearance()->SetCorners(TVivIzudeGraphicsCorners{gcTopLeft, gcBottomRight});
  A.Button->Appearance()->HoverFill()->SetColor(0x00A0FF);
  A.Button->Font()->SetSize(13);
  A.Button->HoverBitmaps()->AddBitmapName(u"hover", 2);

  A.Separator->SetLastElement(true);
  A.Separator->SetState(esLarge);
  A.Separator->Appearance()->Stroke()->SetColor(0x3366AA);

  A.Color->SetSelectedItemIndex(3);
  const TColor Picked = A.Color->SelectedColor();
  ASSERT_NE(Picked, -1);
  ASSERT_NE(Picked, 0);
  A.Color->SetCloseOnSelection(false);
  A.Bitmap->SetCloseOnSelection(false);
  A.Item->Items()->Add(u"alpha");
  A.Item->Items()->Add(u"beta");
  A.Item->SetSelectedItemIndex(1);
  A.Item->SetEditable(true);
  A.FontName->SetEditable(true);
  A.FontSize->SetCloseOnSelection(false);

  const std::vector<TCase> Cases = {
      {"bar AutoHeight", [](const TBarSet& S) { return Num(S.Bar->AutoHeight()); }, "0.000000"},
      {"bar AutoAlign", [](const TBarSet& S) { return Num(S.Bar->AutoAlign()); }, "0.000000"},
      {"bar CanCompact", [](const TBarSet& S) { return Num(S.Bar->CanCompact()); }, "0.000000"},
      {"bar WordWrapping", [](const TBarSet& S) { return Num(S.Bar->WordWrapping()); }, "1.000000"},
      {"bar MinimumWidth", [](const TBarSet& S) { return Num(S.Bar->MinimumWidth()); }, "44.500000"},
      {"bar CompactWidth", [](const TBarSet& S) { return Num(S.Bar->CompactWidth()); }, "70.000000"},
      {"bar CompactBitmapSize", [](const TBarSet& S) { return Num(S.Bar->CompactBitmapSize()); }, "20.000000"},
      {"bar Text", [](const TBarSet& S) { return Text(S.Bar->Text()); }, "Tools"},
      {"bar QuickMenuButtonHint", [](const TBarSet& S) { return Text(S.Bar->QuickMenuButtonHint); }, "More tools"},
      {"bar DragGripColor", [](const TBarSet& S) { return Num(S.Bar->Appearance()->DragGripColor()); }, Num(0x102030)},
      {"bar HorizontalSpacing", [](const TBarSet& S) { return Num(S.Bar->Appearance()->HorizontalSpacing()); },
       "5.000000"},
      {"bar Separator", [](const TBarSet& S) { return Num(S.Bar->Appearance()->Separator()); }, "1.000000"},
      {"bar Fill.Color", [](const TBarSet& S) { return Num(S.Bar->Appearance()->Fill()->Color()); }, Num(0x405060)},
      {"bar ShowItemText", [](const TBarSet& S) { return Num(S.Bar->OptionsMenu()->ShowItemText()); }, "0.000000"},
      {"bar ItemBitmapWidth", [](const TBarSet& S) { return Num(S.Bar->OptionsMenu()->ItemBitmapWidth()); },
       "40.000000"},
      {"bar CompactAppearance.Rounding", [](const TBarSet& S) { return Num(S.Bar->CompactAppearance()->Rounding()); },
       "7.000000"},
      {"bar CompactBitmaps",
       [](const TBarSet& S) {
         auto* L = S.Bar->CompactBitmaps();
         return L->Count() == 1 ? Text(L->Items(0)->BitmapName()) + " " + Num(L->Items(0)->Scale()) : "count";
       },
       "compact 1.500000"},
      {"bar Font", [](const TBarSet& S) { return Text(S.Bar->Font()->Name()) + " " + Num(S.Bar->Font()->Color()); },
       "Arial " + Num(0x0000C0)},

      {"button Text", [](const TBarSet& S) { return Text(S.Button->Text()); }, "Go"},
      {"button AutoOptionsMenuText", [](const TBarSet& S) { return Text(S.Button->AutoOptionsMenuText()); }, "Go on"},
      {"button DropDownKind", [](const TBarSet& S) { return Num(S.Button->DropDownKind()); }, Num(ddkDropDown)},
      {"button DropDownPosition", [](const TBarSet& S) { return Num(S.Button->DropDownPosition()); }, Num(ddpBottom)},
      // The large state scales the drop-down size once, when it is set.
      {"button DropDownWidth", [](const TBarSet& S) { return Num(S.Button->DropDownWidth()); }, "262.500000"},
      {"button DropDownHeight", [](const TBarSet& S) { return Num(S.Button->DropDownHeight()); }, "118.750000"},
      {"button ShowFocus", [](const TBarSet& S) { return Num(S.Button->ShowFocus()); }, "1.000000"},
      {"button StretchText", [](const TBarSet& S) { return Num(S.Button->StretchText()); }, "1.000000"},
      {"button StretchBitmapIfNoText", [](const TBarSet& S) { return Num(S.Button->StretchBitmapIfNoText()); },
       "0.000000"},
      {"button HorizontalTextAlign", [](const TBarSet& S) { return Num(S.Button->HorizontalTextAlign()); },
       Num(gtaTrailing)},
      {"button VerticalTextAlign", [](const TBarSet& S) { return Num(S.Button->VerticalTextAlign()); },
       Num(gtaLeading)},
      {"button Trimming", [](const TBarSet& S) { return Num(S.Button->Trimming()); }, Num(gttWord)},
      {"button WordWrapping", [](const TBarSet& S) { return Num(S.Button->WordWrapping()); }, "1.000000"},
      {"button layouts",
       [](const TBarSet& S) {
         return Num(S.Button->MinimumLayout()) + Num(S.Button->MaximumLayout()) + Num(S.Button->CompactLayout());
       },
       Num(bblLabel) + Num(bblLabel) + Num(bblBitmap)},
      {"button BitmapPosition", [](const TBarSet& S) { return Num(S.Button->BitmapPosition()); }, Num(bbpTop)},
      {"button BitmapSize", [](const TBarSet& S) { return Num(S.Button->BitmapSize()); }, "20.000000"},
      {"button AutoBitmapSize", [](const TBarSet& S) { return Num(S.Button->AutoBitmapSize()); }, "1.000000"},
      {"button LargeLayoutBitmapSize", [](const TBarSet& S) { return Num(S.Button->LargeLayoutBitmapSize()); },
       "40.000000"},
      {"button LastElement", [](const TBarSet& S) { return Num(S.Button->LastElement()); }, "1.000000"},
      {"button State", [](const TBarSet& S) { return Num(S.Button->State()); }, Num(esLarge)},
      // 100 x 24 in the large state, scaled once.
      {"button size", [](const TBarSet& S) { return Num(S.Button->Width()) + Num(S.Button->Height()); },
       Num(125) + Num(30)},
      {"button Font.Size", [](const TBarSet& S) { return Num(S.Button->Font()->Size()); }, "13.000000"},
      {"button Appearance",
       [](const TBarSet& S) {
         auto* P = S.Button->Appearance();
         return Num(P->Rounding()) + Num(P->ShowInnerStroke()) + Num(P->Corners().Bits()) +
                Num(P->HoverFill()->Color());
       },
       Num(5) + Num(0) + Num(TVivIzudeGraphicsCorners{gcTopLeft, gcBottomRight}.Bits()) + Num(0x00A0FF)},
      {"button HoverBitmaps",
       [](const TBarSet& S) {
         auto* L = S.Button->HoverBitmaps();
         return L->Count() == 1 ? Text(L->Items(0)->BitmapName()) + " " + Num(L->Items(0)->Scale()) : "count";
       },
       "hover 2.000000"},

      {"separator LastElement", [](const TBarSet& S) { return Num(S.Separator->LastElement()); }, "1.000000"},
      {"separator State", [](const TBarSet& S) { return Num(S.Separator->State()); }, Num(esLarge)},
      // 30 high in the large state, scaled once.
      {"separator Height", [](const TBarSet& S) { return Num(S.Separator->Height()); }, Num(38)},
      {"separator Stroke.Color", [](const TBarSet& S) { return Num(S.Separator->Appearance()->Stroke()->Color()); },
       Num(0x3366AA)},

      {"colour SelectedColor", [](const TBarSet& S) { return Num(S.Color->SelectedColor()); }, Num(Picked)},
      {"colour SelectedItemIndex", [](const TBarSet& S) { return Num(S.Color->SelectedItemIndex()); }, Num(3)},
      {"colour CloseOnSelection", [](const TBarSet& S) { return Num(S.Color->CloseOnSelection()); }, "0.000000"},
      {"bitmap CloseOnSelection", [](const TBarSet& S) { return Num(S.Bitmap->CloseOnSelection()); }, "0.000000"},
      {"item Items", [](const TBarSet& S) { return Text(S.Item->Items()->CommaText()); }, "alpha,beta"},
      {"item SelectedItemIndex", [](const TBarSet& S) { return Num(S.Item->SelectedItemIndex()); }, "1.000000"},
      {"item Editable", [](const TBarSet& S) { return Num(S.Item->Editable()); }, "1.000000"},
      {"font name Editable", [](const TBarSet& S) { return Num(S.FontName->Editable()); }, "1.000000"},
      {"font size CloseOnSelection", [](const TBarSet& S) { return Num(S.FontSize->CloseOnSelection()); }, "0.000000"},
  };

  // The table describes the source tool bar...
  for (const TCase& C : Cases) EXPECT_EQ(C.Read(A), C.Expected) << "source " << C.Name;

  // ...and, element by element through the JSON text, the fresh one.
  const TBarSet B = MakeBar(Form.get());
  const auto From = A.All(), To = B.All();
  for (size_t I = 0; I < From.size(); ++I) {
    TMemoryStream S;
    From[I]->SaveSettingsToStream(&S);
    S.SetPosition(0);
    To[I]->LoadSettingsFromStream(&S);
    EXPECT_TRUE(To[I]->LoadWarnings().empty()) << I;
  }
  for (const TCase& C : Cases) EXPECT_EQ(C.Read(B), C.Expected) << "loaded " << C.Name;

  // Loading the same settings again changes nothing more.
  TMemoryStream Again;
  A.Button->SaveSettingsToStream(&Again);
  Again.SetPosition(0);
  B.Button->LoadSettingsFromStream(&Again);
  for (const TCase& C : Cases) EXPECT_EQ(C.Read(B), C.Expected) << "loaded twice " << C.Name;
}

TEST(ToolBarSettings, ABadDocumentIsRefusedAndTheElementKeepsItsValues) {
  TFormPtr Form = NewForm(800, 200);
  const TBarSet S = MakeBar(Form.get());
  S.Button->SetText(u"Keep");
  S.Button->SetDropDownWidth(150);
  S.Bar->SetMinimumWidth(60);

  struct TBad {
    TVivIzudeCustomControl* Target;
    std::string Json;
    std::string Message;  // part of the error text
  };
  const std::vector<TBad> Bad = {
      // A picture list entry of a class nobody registered.
      {S.Button, R"({"$type": "TVivIzudeToolBarButton", "DropDownWidth": 99, "Bitmaps": [{"$type": "TNoSuchBitmap"}]})",
       "TNoSuchBitmap"},
      // An entry of a registered class that is no picture list entry.
      {S.Button, R"({"$type": "TVivIzudeToolBarButton", "Bitmaps": [{"$type": "TVivIzudeToolBarButton"}]})",
       "TVivIzudeToolBarButton"},
      // A list where text belongs, text where a number, a flag or a colour belongs.
      {S.Button, R"({"$type": "TVivIzudeToolBarButton", "DropDownWidth": 99, "Text": [5]})", ""},
      {S.Bar, R"({"$type": "TVivIzudeToolBar", "MinimumWidth": "wide"})", ""},
      {S.Item, R"({"$type": "TVivIzudeToolBarItemPicker", "Editable": "yes"})", ""},
      {S.Color, R"({"$type": "TVivIzudeToolBarColorPicker", "SelectedColor": {"R": 1}})", ""},
      // An object where a flag belongs, a flag where an object belongs.
      {S.Separator, R"({"$type": "TVivIzudeToolBarSeparator", "LastElement": {"$type": "X"}})", ""},
      {S.Separator, R"({"$type": "TVivIzudeToolBarSeparator", "Appearance": true})", ""},
  };
  for (const TBad& C : Bad) ExpectRefused(C.Target, C.Json, C.Message);
  // Nothing of a refused document stays.
  EXPECT_EQ(S.Button->Text(), u"Keep");
  EXPECT_EQ(S.Button->DropDownWidth(), 150);
  EXPECT_EQ(S.Button->Bitmaps()->Count(), 0);
  EXPECT_EQ(S.Bar->MinimumWidth(), 60);
  EXPECT_FALSE(S.Item->Editable());
  EXPECT_FALSE(S.Separator->LastElement());
}

}  // namespace
