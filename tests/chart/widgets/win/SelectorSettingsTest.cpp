// The selectors, the pickers' items and the popups through the settings
// writer and reader: every published value comes back in a fresh object,
// item collections are replaced rather than added to, "not set" button
// positions stay out of the document, and a bad document is refused
// without harm.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

#include "chart/widgets/VivIzudePersistence.h"
#include "chart/widgets/win/VivIzudeBitmapSelector.h"
#include "chart/widgets/win/VivIzudeColorSelector.h"
#include "chart/widgets/win/VivIzudePopup.h"
#include "chart/widgets/win/VivIzudeToolBar.h"
#include "chart/widgets/win/VivIzudeToolBarPopup.h"
#include "tests/chart/widgets/win/SettingsTestSupport.h"
#include "tests/chart/widgets/win/WidgetsTestSupport.h"
#include "vcl/StdCtrls.h"

using namespace settings_test;
using namespace widgets_test;

namespace {

std::string PictureSize(TPicture* P) {
  if (!P || !P->Graphic() || P->Graphic()->Empty()) return "empty";
  return Num(P->Graphic()->Width()) + "x" + Num(P->Graphic()->Height());
}

std::size_t Occurrences(const std::string& Text, const std::string& Part) {
  std::size_t N = 0;
  for (std::size_t At = Text.find(Part); At != std::string::npos; At = Text.find(Part, At + 1)) ++N;
  return N;
}

// One of each selector and item-bearing picker.
struct TSelectorSet {
  TVivIzudeBitmapSelector* Bitmaps;
  TVivIzudeColorSelector* Colors;
  TVivIzudeToolBarColorPicker* ColorPicker;
  TVivIzudeToolBarBitmapPicker* BitmapPicker;
  std::vector<IVivIzudePersistence*> All() const { return {Bitmaps, Colors, ColorPicker, BitmapPicker}; }
};

TSelectorSet MakeSelectors(TCustomForm* Form) {
  auto* Bar = new TVivIzudeToolBar(Form);
  Bar->SetParent(Form);
  TSelectorSet S{};
  S.Bitmaps = new TVivIzudeBitmapSelector(Form);
  S.Bitmaps->SetParent(Form);
  S.Colors = new TVivIzudeColorSelector(Form);
  S.Colors->SetParent(Form);
  S.ColorPicker = Bar->AddColorPicker(-1);
  S.BitmapPicker = Bar->AddBitmapPicker(-1);
  return S;
}

template <class TSet>
struct TCase {
  const char* Name;
  std::function<std::string(const TSet&)> Read;
  std::string Expected;
};

// Saves each source object, loads the text into the matching fresh one
// (twice when asked), and checks the table on both.
template <class TSet>
void RoundTrip(const TSet& A, const TSet& B, const std::vector<TCase<TSet>>& Cases, int Loads) {
  for (const auto& C : Cases) EXPECT_EQ(C.Read(A), C.Expected) << "source " << C.Name;
  const auto From = A.All(), To = B.All();
  for (std::size_t I = 0; I < From.size(); ++I) {
    const std::string Json = SaveText(From[I]);
    for (int N = 0; N < Loads; ++N) LoadText(To[I], Json);
  }
  for (const auto& C : Cases) EXPECT_EQ(C.Read(B), C.Expected) << "loaded " << C.Name << " x" << Loads;
}

TEST(SelectorSettings, SelectorsAndPickerItemsComeBackInFreshOnesWithoutDuplicates) {
  TFormPtr Form = NewForm(800, 400);
  const TSelectorSet A = MakeSelectors(Form.get());

  // A bitmap selector away from every default, with a picture item, a
  // separator and an item that names a container picture.
  A.Bitmaps->SetRows(3);
  A.Bitmaps->SetColumns(5);
  A.Bitmaps->Appearance()->SetHorizontalSpacing(6);
  A.Bitmaps->Appearance()->SetVerticalSpacing(7);
  A.Bitmaps->Appearance()->FillHover()->SetColor(0x123456);
  A.Bitmaps->Appearance()->Font()->SetSize(13);
  A.Bitmaps->Fill()->SetColor(0x0A0B0C);
  auto* Pic = A.Bitmaps->Items()->Add();
  Pic->SetText(u"Line");
  Pic->SetBitmap(MakePicture(16, 12, 0x00FF00).get());
  Pic->SetBitmapAlign(baLeft);
  Pic->SetBitmapSize(20);
  Pic->SetHorizontalTextAlign(gtaLeading);
  Pic->SetHint(u"a line");
  auto* Sep = A.Bitmaps->Items()->Add();
  Sep->SetSeparator(true);
  Sep->SetSeparatorHeight(8);
  Sep->Margins()->SetLeft(2);
  auto* Named = A.Bitmaps->Items()->Add();
  Named->SetBitmapName(u"named");
  Named->SetEnabled(false);
  Named->SetCanSelect(false);
  Named->SetCanDeselect(false);
  Named->SetColumnSpan(2);
  Named->SetRowSpan(2);
  Named->SetVisible(false);
  Named->SetVerticalTextAlign(gtaTrailing);
  A.Bitmaps->SetSelectedItemIndex(0);

  // A colour selector whose mode's palette was replaced by own items and
  // whose grid differs from the mode's.
  A.Colors->SetMode(csmExtended);
  A.Colors->Items()->Clear();
  for (TColor C : {TColor(0x0000FF), TColor(0x00FF00), TColor(-1)}) A.Colors->Items()->Add()->SetColor(C);
  A.Colors->Items()->Items(1)->SetText(u"green");
  A.Colors->SetColumns(6);
  A.Colors->SetSelectedItemIndex(1);

  // Pickers whose selectors hold their own items instead of the defaults.
  A.ColorPicker->Items()->Clear();
  for (TColor C : {TColor(0x102030), TColor(0x405060)}) A.ColorPicker->Items()->Add()->SetColor(C);
  A.ColorPicker->SetSelectedItemIndex(1);
  auto* BP = A.BitmapPicker->Items()->Add();
  BP->SetText(u"dot");
  BP->SetBitmap(MakePicture(9, 7, 0xFF0000).get());
  A.BitmapPicker->Items()->Add()->SetText(u"dash");
  A.BitmapPicker->SetSelectedItemIndex(1);

  using S = TSelectorSet;
  auto BitmapItem = [](const S& X, Integer I) { return X.Bitmaps->Items()->Items(I); };
  const std::vector<TCase<S>> Cases = {
      {"bitmaps grid", [](const S& X) { return Num(X.Bitmaps->Rows()) + Num(X.Bitmaps->Columns()); }, Num(3) + Num(5)},
      {"bitmaps spacings",
       [](const S& X) {
         return Num(X.Bitmaps->Appearance()->HorizontalSpacing()) + Num(X.Bitmaps->Appearance()->VerticalSpacing());
       },
       Num(6) + Num(7)},
      {"bitmaps FillHover", [](const S& X) { return Num(X.Bitmaps->Appearance()->FillHover()->Color()); },
       Num(0x123456)},
      {"bitmaps Font.Size", [](const S& X) { return Num(X.Bitmaps->Appearance()->Font()->Size()); }, Num(13)},
      {"bitmaps Fill", [](const S& X) { return Num(X.Bitmaps->Fill()->Color()); }, Num(0x0A0B0C)},
      {"bitmaps count", [](const S& X) { return Num(X.Bitmaps->Items()->Count()); }, Num(3)},
      {"bitmaps selection", [](const S& X) { return Num(X.Bitmaps->SelectedItemIndex()); }, Num(0)},
      {"picture item",
       [BitmapItem](const S& X) {
         auto* I = BitmapItem(X, 0);
         return Text(I->Text()) + " " + PictureSize(I->Bitmap()) + " " + Num(I->BitmapAlign()) + " " +
                Num(I->BitmapSize()) + " " + Num(I->HorizontalTextAlign()) + " " + Text(I->Hint());
       },
       "Line " + Num(16) + "x" + Num(12) + " " + Num(baLeft) + " " + Num(20) + " " + Num(gtaLeading) + " a line"},
      {"separator item",
       [BitmapItem](const S& X) {
         auto* I = BitmapItem(X, 1);
         return Num(I->Separator()) + Num(I->SeparatorHeight()) + Num(I->Margins()->Left());
       },
       Num(1) + Num(8) + Num(2)},
      {"named item",
       [BitmapItem](const S& X) {
         auto* I = BitmapItem(X, 2);
         return Text(I->BitmapName()) + " " + Num(I->Enabled()) + Num(I->CanSelect()) + Num(I->CanDeselect()) +
                Num(I->ColumnSpan()) + Num(I->RowSpan()) + Num(I->Visible()) + Num(I->VerticalTextAlign()) + " " +
                PictureSize(I->Bitmap());
       },
       "named " + Num(0) + Num(0) + Num(0) + Num(2) + Num(2) + Num(0) + Num(gtaTrailing) + " empty"},

      {"colours mode and size",
       [](const S& X) { return Num(X.Colors->Mode()) + Num(X.Colors->Width()) + Num(X.Colors->Height()); },
       Num(csmExtended) + Num(200) + Num(135)},
      {"colours grid", [](const S& X) { return Num(X.Colors->Rows()) + Num(X.Colors->Columns()); }, Num(5) + Num(6)},
      {"colours items",
       [](const S& X) {
         std::string Out;
         for (Integer I = 0; I < X.Colors->Items()->Count(); ++I) Out += Num(X.Colors->Items()->Items(I)->Color());
         return Out + Text(X.Colors->Items()->Items(1)->Text());
       },
       Num(0x0000FF) + Num(0x00FF00) + Num(-1) + "green"},
      {"colours selection",
       [](const S& X) { return Num(X.Colors->SelectedItemIndex()) + Num(X.Colors->SelectedColor()); },
       Num(1) + Num(0x00FF00)},

      {"colour picker items",
       [](const S& X) {
         auto* L = X.ColorPicker->Items();
         std::string Out = Num(L->Count());
         for (Integer I = 0; I < L->Count(); ++I) Out += Num(L->Items(I)->Color());
         return Out;
       },
       Num(2) + Num(0x102030) + Num(0x405060)},
      {"colour picker selection",
       [](const S& X) { return Num(X.ColorPicker->SelectedItemIndex()) + Num(X.ColorPicker->SelectedColor()); },
       Num(1) + Num(0x405060)},
      {"bitmap picker items",
       [](const S& X) {
         auto* L = X.BitmapPicker->Items();
         std::string Out = Num(L->Count());
         for (Integer I = 0; I < L->Count(); ++I) Out += Text(L->Items(I)->Text()) + PictureSize(L->Items(I)->Bitmap());
         return Out;
       },
       Num(2) + "dot" + Num(9) + "x" + Num(7) + "dashempty"},
      {"bitmap picker selection", [](const S& X) { return Num(X.BitmapPicker->SelectedItemIndex()); }, Num(1)},
  };

  // Loading the same document twice gives the same items, not twice as many.
  for (int Loads : {1, 2}) {
    SCOPED_TRACE(Loads);
    RoundTrip(A, MakeSelectors(Form.get()), Cases, Loads);
  }

  // Defaults stay out of the document: spacings of 4, a separator height of
  // 5, a bitmap size of 0; a colour of -1 is written all the same.
  const std::string Colors = SaveText(A.Colors);
  EXPECT_EQ(Occurrences(Colors, "\"VerticalSpacing\""), 0u) << Colors;
  EXPECT_EQ(Occurrences(Colors, "\"SeparatorHeight\""), 0u) << Colors;
  EXPECT_NE(Colors.find("\"Color\":\"gcNull\",\"ColumnSpan\""), std::string::npos) << Colors;
  const std::string Bitmaps = SaveText(A.Bitmaps);
  EXPECT_EQ(Occurrences(Bitmaps, "\"BitmapSize\""), 1u) << Bitmaps;
  EXPECT_EQ(Occurrences(Bitmaps, "\"SeparatorHeight\""), 1u) << Bitmaps;
  EXPECT_EQ(Bitmaps.find("BitmapContainer"), std::string::npos) << Bitmaps;
}

// A plain popup and a series tool-bar popup with two extra buttons.
struct TPopupSet {
  TVivIzudePopup* Popup;
  TVivIzudeToolBarPopup* Series;
  std::vector<IVivIzudePersistence*> All() const { return {Popup, Series}; }
};

TPopupSet MakePopups(TCustomForm* Form) { return {new TVivIzudePopup(Form), new TVivIzudeToolBarPopup(Form)}; }

// The tool-bar buttons the popup's extra buttons made, in tool-bar order.
std::vector<TVivIzudeToolBarButton*> ExtraToolBarButtons(TVivIzudeToolBarPopup* P) {
  std::vector<TVivIzudeToolBarButton*> Out;
  TVivIzudeToolBar* T = P->ToolBar();
  for (Integer I = 0; I < T->ControlCount(); ++I)
    if (auto* B = dynamic_cast<TVivIzudeToolBarButton*>(T->Controls(I)))
      if (P->FindPopupButton(B)) Out.push_back(B);
  return Out;
}

// Every plain button the tool bar owns, shown, hidden or orphaned alike.
Integer PlainToolBarButtons(TVivIzudeToolBarPopup* P) {
  Integer N = 0;
  TVivIzudeToolBar* T = P->ToolBar();
  for (Integer I = 0; I < T->ComponentCount(); ++I)
    if (typeid(*T->Components(I)) == typeid(TVivIzudeToolBarButton)) ++N;
  return N;
}

// The richest mode draws "Automatic" and "More Colors..." as text rows, by a
// mark a document does not carry: a loaded selector must find them again,
// whether its mode changes with the load or already was that one.
TEST(SelectorSettings, TheRichestModesTextRowsStayTextAfterALoad) {
  TFormPtr Form = NewForm(400, 300);
  auto* Source = new TVivIzudeColorSelector(Form.get());
  Source->SetMode(csmExtendedMore);
  Source->SetSelectedColor(0x123456);  // goes to the hidden last item
  const std::string Json = SaveText(Source);
  auto Marks = [](TVivIzudeColorSelector* S) {
    std::string Out;
    for (Integer I = 0; I < S->Items()->Count(); ++I)
      if (S->Items()->Items(I)->DataBoolean) Out += Num(I) + " ";
    return Out;
  };
  const std::string Expected = Marks(Source);
  ASSERT_EQ(Expected, Num(0) + " " + Num(Source->Items()->Count() - 2) + " ");
  auto* Fresh = new TVivIzudeColorSelector(Form.get());
  auto* Same = new TVivIzudeColorSelector(Form.get());
  Same->SetMode(csmExtendedMore);
  for (TVivIzudeColorSelector* Target : {Fresh, Same}) {
    LoadText(Target, Json);
    EXPECT_EQ(Target->Mode(), csmExtendedMore);
    EXPECT_EQ(Target->Items()->Count(), Source->Items()->Count());
    EXPECT_EQ(Marks(Target), Expected);
    EXPECT_EQ(Target->SelectedColor(), 0x123456);
  }
}

TEST(SelectorSettings, PopupsAndTheirButtonsComeBackInFreshOnes) {
  TFormPtr Form = NewForm(800, 400);
  const TPopupSet A = MakePopups(Form.get());
  auto* Anchor = new TButton(Form.get());
  Anchor->SetParent(Form.get());

  A.Popup->SetStaysOpen(true);
  A.Popup->SetPlacement(ppRightCenter);
  A.Popup->PlacementRectangle()->SetLeft(1);
  A.Popup->PlacementRectangle()->SetBottom(4);
  A.Popup->SetHorizontalOffset(5.5f);
  A.Popup->SetVerticalOffset(-3);
  A.Popup->SetDropDownWidth(150);
  A.Popup->SetDropDownHeight(90);
  A.Popup->SetPlacementControl(Anchor);

  TVivIzudeToolBarPopup* P = A.Series;
  P->SetAutoAlign(false);
  P->SetDragGrip(true);
  P->SetPlacement(ppLeft);
  P->PlacementRectangle()->SetTop(9);
  P->SetPlacementControl(Anchor);
  P->SetOptions(TVivIzudeToolBarPopupOptions{ctpoFill, ctpoSeries});
  P->SetSeriesFillColor(0x0000FF);
  P->SetSeriesLineColor(0xFF0000);
  P->SetSeriesMarkerFillColor(0x008000);
  P->SetSeriesType(static_cast<TVivIzudeToolBarPopupSeriesType>(7));
  P->SetSeriesLineStyle(tpslsDash);
  P->SetSeriesLineWidth(4);
  P->SetSeriesMarkerSize(3);
  P->SetSeriesMarkerType(tpsmSquare);
  P->SetSeriesLabelType(tpsltFloat);
  TStringList Names;
  Names.Add(u"north");
  Names.Add(u"south");
  Names.Add(u"east");
  P->SetSeriesNames(&Names);
  P->SetSeriesIndex(2);
  // One button with only a width, one with a position, a height and a picture.
  auto* One = P->Buttons()->Add();
  One->SetText(u"One");
  One->SetTag(7);
  One->SetWidth(50);
  One->SetEnabled(false);
  auto* Two = P->Buttons()->Add();
  Two->SetText(u"Two");
  Two->SetLastElement(true);
  Two->SetLeft(10);
  Two->SetTop(4);
  Two->SetHeight(30);
  Two->SetVisible(false);
  Two->SetBitmap(MakePicture(12, 10, 0x00FFFF).get());

  using S = TPopupSet;
  auto Btn = [](const S& X, Integer I) { return X.Series->Buttons()->Items(I); };
  const std::vector<TCase<S>> Cases = {
      {"popup StaysOpen", [](const S& X) { return Num(X.Popup->StaysOpen()); }, Num(1)},
      {"popup Placement", [](const S& X) { return Num(X.Popup->Placement()); }, Num(ppRightCenter)},
      {"popup PlacementRectangle",
       [](const S& X) {
         auto* R = X.Popup->PlacementRectangle();
         return Num(R->Left()) + Num(R->Top()) + Num(R->Right()) + Num(R->Bottom());
       },
       Num(1) + Num(0) + Num(0) + Num(4)},
      {"popup offsets", [](const S& X) { return Num(X.Popup->HorizontalOffset()) + Num(X.Popup->VerticalOffset()); },
       Num(5.5) + Num(-3)},
      {"popup drop-down size",
       [](const S& X) { return Num(X.Popup->DropDownWidth()) + Num(X.Popup->DropDownHeight()); }, Num(150) + Num(90)},

      {"series AutoAlign DragGrip", [](const S& X) { return Num(X.Series->AutoAlign()) + Num(X.Series->DragGrip()); },
       Num(0) + Num(1)},
      {"series Placement",
       [](const S& X) { return Num(X.Series->Placement()) + Num(X.Series->PlacementRectangle()->Top()); },
       Num(ppLeft) + Num(9)},
      {"series Options", [](const S& X) { return Num(X.Series->Options().Bits()); },
       Num(TVivIzudeToolBarPopupOptions{ctpoFill, ctpoSeries}.Bits())},
      {"series colours",
       [](const S& X) {
         return Num(X.Series->SeriesFillColor()) + Num(X.Series->SeriesLineColor()) +
                Num(X.Series->SeriesMarkerFillColor());
       },
       Num(0x0000FF) + Num(0xFF0000) + Num(0x008000)},
      {"series kinds",
       [](const S& X) {
         return Num(X.Series->SeriesType()) + Num(X.Series->SeriesLineStyle()) + Num(X.Series->SeriesMarkerType()) +
                Num(X.Series->SeriesLabelType());
       },
       Num(7) + Num(tpslsDash) + Num(tpsmSquare) + Num(tpsltFloat)},
      {"series sizes", [](const S& X) { return Num(X.Series->SeriesLineWidth()) + Num(X.Series->SeriesMarkerSize()); },
       Num(4) + Num(3)},
      {"series names",
       [](const S& X) { return Text(X.Series->SeriesNames()->CommaText()) + Num(X.Series->SeriesIndex()); },
       "north,south,east" + Num(2)},
      {"buttons count", [](const S& X) { return Num(X.Series->Buttons()->Count()); }, Num(2)},
      {"button one",
       [Btn](const S& X) {
         auto* B = Btn(X, 0);
         return Text(B->Text()) + Num(B->Tag()) + Num(B->Width()) + Num(B->Height()) + Num(B->Left()) + Num(B->Top()) +
                Num(B->Enabled()) + Num(B->Visible()) + Num(B->LastElement()) + PictureSize(B->Bitmap());
       },
       "One" + Num(7) + Num(50) + Num(-1) + Num(-1) + Num(-1) + Num(0) + Num(1) + Num(0) + "empty"},
      {"button two",
       [Btn](const S& X) {
         auto* B = Btn(X, 1);
         return Text(B->Text()) + Num(B->Tag()) + Num(B->Width()) + Num(B->Height()) + Num(B->Left()) + Num(B->Top()) +
                Num(B->Visible()) + Num(B->LastElement()) + PictureSize(B->Bitmap());
       },
       "Two" + Num(0) + Num(-1) + Num(30) + Num(10) + Num(4) + Num(0) + Num(1) + Num(12) + "x" + Num(10)},
      // The tool bar shows exactly the two buttons, made as adding them in code makes them.
      {"tool-bar buttons",
       [](const S& X) {
         std::string Out;
         for (TVivIzudeToolBarButton* B : ExtraToolBarButtons(X.Series))
           Out += Text(B->Text()) + Num(B->Enabled()) + Num(B->LastElement()) + Num(B->Bitmaps()->Count()) + ";";
         return Out;
       },
       "One" + Num(0) + Num(0) + Num(0) + ";Two" + Num(1) + Num(1) + Num(1) + ";"},
      {"tool-bar button sizes",
       [](const S& X) {
         const auto L = ExtraToolBarButtons(X.Series);
         return L.size() == 2 ? Num(L[0]->Width()) + Num(L[1]->Height()) : std::string("count");
       },
       Num(50) + Num(30)},
  };
  const Integer BarButtons = PlainToolBarButtons(MakePopups(Form.get()).Series);
  for (int Loads : {1, 2}) {
    SCOPED_TRACE(Loads);
    const TPopupSet B = MakePopups(Form.get());
    RoundTrip(A, B, Cases, Loads);
    // The placement control is a reference: not carried over.
    EXPECT_EQ(B.Popup->PlacementControl(), nullptr);
    EXPECT_EQ(B.Series->PlacementControl(), nullptr);
    // The buttons of a first load are replaced by a second, not kept beside it.
    EXPECT_EQ(PlainToolBarButtons(B.Series), BarButtons + 2);
  }

  // "Not set" positions and sizes are not written; set ones are.
  const std::string Json = SaveText(P);
  EXPECT_EQ(Occurrences(Json, "\"Width\""), 1u) << Json;
  EXPECT_EQ(Occurrences(Json, "\"Height\""), 1u) << Json;
  EXPECT_EQ(Occurrences(Json, "\"Left\":10"), 1u) << Json;
  EXPECT_EQ(Occurrences(Json, "\"Top\":4"), 1u) << Json;
  EXPECT_EQ(Json.find(":-1"), std::string::npos) << Json;
  EXPECT_EQ(Json.find("PlacementControl"), std::string::npos) << Json;
  EXPECT_EQ(SaveText(A.Popup).find("PlacementControl"), std::string::npos);
}

TEST(SelectorSettings, ABadDocumentIsRefusedAndTheObjectKeepsItsValues) {
  TFormPtr Form = NewForm(800, 400);
  const TSelectorSet S = MakeSelectors(Form.get());
  const TPopupSet P = MakePopups(Form.get());
  S.Bitmaps->SetRows(2);
  S.Bitmaps->Items()->Add()->SetText(u"keep");
  S.Colors->SetMode(csmSimple);
  P.Popup->SetDropDownWidth(70);
  P.Series->Buttons()->Add()->SetText(u"kept");
  const Integer BarButtons = PlainToolBarButtons(P.Series);

  struct TBad {
    IVivIzudePersistence* Target;
    std::string Json;
    std::string Message;  // part of the error text
  };
  const std::vector<TBad> Bad = {
      // An item of another selector's class.
      {S.Bitmaps,
       R"({"$type":"TVivIzudeBitmapSelector","Rows":9,"Items":[{"$type":"TVivIzudeColorSelectorItem","Text":"x"}]})",
       "TVivIzudeColorSelectorItem"},
      // An alignment and a mode past their last value.
      {S.Bitmaps,
       R"({"$type":"TVivIzudeBitmapSelector","Rows":9,"Items":[{"$type":"TVivIzudeBitmapSelectorItem",)"
       R"("HorizontalTextAlign":3}]})",
       "HorizontalTextAlign"},
      {S.Colors, R"({"$type":"TVivIzudeColorSelector","Columns":2,"Mode":3})", "Mode"},
      // An item of an unknown class in a picker's items.
      {S.ColorPicker, R"({"$type":"TVivIzudeToolBarColorPicker","Items":[{"$type":"TNoSuchItem"}]})", "TNoSuchItem"},
      {P.Popup, R"({"$type":"TVivIzudePopup","DropDownWidth":5,"Placement":14})", "Placement"},
      // A button whose position is text, after a button that loaded.
      {P.Series,
       R"({"$type":"TVivIzudeToolBarPopup","Buttons":[{"$type":"TVivCToolBarPopupButton","Text":"new"},)"
       R"({"$type":"TVivCToolBarPopupButton","Left":"x"}]})",
       ""},
      {P.Series, R"({"$type":"TVivIzudeToolBarPopup","Buttons":[{"$type":"TVivIzudePopup"}]})", "TVivIzudePopup"},
      {P.Series, R"({"$type":"TVivIzudeToolBarPopup","SeriesType":42})", "SeriesType"},
  };
  for (const TBad& C : Bad) ExpectRefused(C.Target, C.Json, C.Message);
  EXPECT_EQ(S.Bitmaps->Rows(), 2);
  ASSERT_EQ(S.Bitmaps->Items()->Count(), 1);
  EXPECT_EQ(S.Bitmaps->Items()->Items(0)->Text(), u"keep");
  EXPECT_EQ(S.Colors->Mode(), csmSimple);
  EXPECT_EQ(S.Colors->Columns(), 4);
  EXPECT_EQ(S.ColorPicker->Items()->Count(), 40);
  EXPECT_EQ(P.Popup->DropDownWidth(), 70);
  EXPECT_EQ(P.Popup->Placement(), ppBottom);
  ASSERT_EQ(P.Series->Buttons()->Count(), 1);
  EXPECT_EQ(P.Series->Buttons()->Items(0)->Text(), u"kept");
  EXPECT_EQ(PlainToolBarButtons(P.Series), BarButtons);
  const auto Extra = ExtraToolBarButtons(P.Series);
  ASSERT_EQ(Extra.size(), 1u);
  EXPECT_EQ(Extra[0]->Text(), u"kept");
}

}  // namespace
