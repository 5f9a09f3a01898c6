#include "chart/widgets/win/VivIzudeToolBarPickers.h"

#include <algorithm>
#include <cmath>

#include "chart/drawing/VivIzudeUtils.h"
#include "chart/widgets/VivIzudePersistence.h"
#include "rtl/SysUtils.h"

namespace {

constexpr TColor ClBlack = 0x000000;
constexpr TColor ClWhite = 0xFFFFFF;
constexpr TColor ChequerGrey = 0xD3D3D3;  // RGB(211, 211, 211)
constexpr float ChequerSize = 5;

TRectF Shrunk(const TRectF& R, float D) { return {R.Left + D, R.Top + D, R.Right - D, R.Bottom - D}; }

}  // namespace

// ---------------------------------------------------------------- colour picker

TVivIzudeToolBarColorPicker::TVivIzudeToolBarColorPicker(TComponent* AOwner)
    : TVivIzudeToolBarButton(AOwner), FColorSelector(new TVivIzudeColorSelector(this)) {
  SetDropDownKind(ddkDropDownButton);
  SetBounds(Left(), Top(), 40, 24);
  SetAutoOptionsMenuText(u"Color");
  FColorSelector->Appearance()->SetHorizontalSpacing(2);
  FColorSelector->Appearance()->SetVerticalSpacing(2);
  FColorSelector->SetMode(csmExtended);
  FColorSelector->SetBounds(0, 0, 175, 125);
  FColorSelector->SetStored(false);
  FColorSelector->SetSelectedColor(0);
  FColorSelector->OnColorSelected = [this](TObject* Sender, TColor AColor) { ColorSelected(Sender, AColor); };
  SetDropDownControl(FColorSelector);
  SetDropDownWidth(static_cast<float>(FColorSelector->Width()));
  SetDropDownHeight(static_cast<float>(FColorSelector->Height()));
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeToolBarColorPicker::BeforeDestruction() {
  FColorSelector->OnColorSelected = nullptr;
  TVivIzudeToolBarButton::BeforeDestruction();
}

void TVivIzudeToolBarColorPicker::SetSelectedColor(TColor Value) {
  FColorSelector->SetSelectedColor(Value);
  Invalidate();
}

void TVivIzudeToolBarColorPicker::SetSelectedItemIndex(Integer Value) {
  FColorSelector->SetSelectedItemIndex(Value);
  Invalidate();
}

void TVivIzudeToolBarColorPicker::SetAdaptToStyle(bool Value) {
  TVivIzudeToolBarButton::SetAdaptToStyle(Value);
  FColorSelector->SetAdaptToStyle(Value);
}

void TVivIzudeToolBarColorPicker::ColorSelected(TObject*, TColor AColor) {
  if (CloseOnSelection() && !FColorSelector->BlockChange) CloseDropDown();
  DoColorSelected(AColor);
  Invalidate();
}

void TVivIzudeToolBarColorPicker::DoColorSelected(TColor AColor) {
  if (OnColorSelected) OnColorSelected(this, AColor);
}

void TVivIzudeToolBarColorPicker::Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) {
  TVivIzudeToolBarButton::Draw(AGraphics, ARect);
  if (auto* D = GetDropDownButtonControl())
    DrawSelectedColor(AGraphics, TRectF{0, 0, static_cast<float>(Width() - D->Width()), static_cast<float>(Height())});
}

void TVivIzudeToolBarColorPicker::DrawSelectedColor(TVivIzudeGraphics* G, const TRectF& ARect) {
  TRectF R = Shrunk(ARect, 3.5f);
  R = {R.Left + 0.5f, R.Top + 0.5f, R.Right + 0.5f, R.Bottom + 0.5f};
  auto State = G->SaveState();
  G->ClipRect(R);
  G->SetStrokeKind(gskNone);
  G->SetFillKind(gfkSolid);
  G->SetStrokeWidth(1);
  G->SetFillColor(ClWhite);
  G->DrawRectangle(R, gcrmNone);
  // The chequer keeps to the control's grid so it does not shift with
  // the swatch's size.
  G->SetFillColor(ChequerGrey);
  const Integer Columns = static_cast<Integer>(std::trunc(R.Width() / ChequerSize)) + 1;
  const Integer Rows = static_cast<Integer>(std::trunc(R.Height() / ChequerSize)) + 1;
  for (Integer Column = 0; Column <= Columns; ++Column)
    for (Integer Row = 0; Row <= Rows; ++Row)
      if ((Column + Row) % 2 == 1) {
        const float X = ChequerSize * static_cast<float>(Column), Y = ChequerSize * static_cast<float>(Row);
        G->DrawRectangle(TRectF{X, Y, X + ChequerSize, Y + ChequerSize}, gcrmNone);
      }
  const TColor C = SelectedColor();
  if (C == gcNull)
    G->SetFillKind(gfkNone);
  else
    G->SetFillColor(C);
  G->SetStrokeKind(gskSolid);
  G->SetStrokeColor(ClBlack);
  G->DrawRectangle(R, gcrmShrinkAll);
  G->RestoreState(std::move(State));
}

// ---------------------------------------------------------------- bitmap picker

TVivIzudeToolBarBitmapPicker::TVivIzudeToolBarBitmapPicker(TComponent* AOwner)
    : TVivIzudeToolBarButton(AOwner), FBitmapSelector(new TVivIzudeBitmapSelector(this)) {
  SetDropDownKind(ddkDropDownButton);
  SetBounds(Left(), Top(), 40, 24);
  SetAutoOptionsMenuText(u"Bitmap");
  FBitmapSelector->Appearance()->SetHorizontalSpacing(2);
  FBitmapSelector->Appearance()->SetVerticalSpacing(2);
  FBitmapSelector->SetStored(false);
  FBitmapSelector->OnBitmapSelected = [this](TObject* Sender, TPicture* ABitmap) { BitmapSelected(Sender, ABitmap); };
  SetDropDownControl(FBitmapSelector);
  SetDropDownWidth(static_cast<float>(FBitmapSelector->Width()));
  SetDropDownHeight(static_cast<float>(FBitmapSelector->Height()));
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeToolBarBitmapPicker::BeforeDestruction() {
  FBitmapSelector->OnBitmapSelected = nullptr;
  TVivIzudeToolBarButton::BeforeDestruction();
}

void TVivIzudeToolBarBitmapPicker::ShowOnFace(TPicture* ABitmap) {
  for (auto* L : {Bitmaps(), DisabledBitmaps(), HoverBitmaps()}) {
    L->BeginUpdate();
    L->Clear();
    if (ABitmap) L->AddBitmap(ABitmap, 1.0f);
    L->EndUpdate();
  }
}

void TVivIzudeToolBarBitmapPicker::SetSelectedItemIndex(Integer Value) {
  FBitmapSelector->SetSelectedItemIndex(Value);
  ShowOnFace(FBitmapSelector->SelectedBitmap());
  Invalidate();
}

void TVivIzudeToolBarBitmapPicker::SetAdaptToStyle(bool Value) {
  TVivIzudeToolBarButton::SetAdaptToStyle(Value);
  FBitmapSelector->SetAdaptToStyle(Value);
}

void TVivIzudeToolBarBitmapPicker::BitmapSelected(TObject*, TPicture* ABitmap) {
  ShowOnFace(ABitmap);
  if (CloseOnSelection() && !FBitmapSelector->BlockChange) CloseDropDown();
  DoBitmapSelected(ABitmap);
}

void TVivIzudeToolBarBitmapPicker::DoBitmapSelected(TPicture* ABitmap) {
  if (OnBitmapSelected) OnBitmapSelected(this, ABitmap);
}

TRectF TVivIzudeToolBarBitmapPicker::CalculateBitmapRect(const TRectF& R) {
  if (!BitmapVisible()) return R;
  TRectF B = Shrunk(R, 3);
  if (HasDropDown()) {
    const TRectF D = GetDropDownRect();
    if (DropDownPosition() == ddpRight)
      B.Right = D.Left - 3;
    else
      B.Bottom = D.Top - 3;
  }
  return B;
}

// ---------------------------------------------------------------- item pickers

TVivIzudeToolBarCustomItemPicker::TVivIzudeToolBarCustomItemPicker(TComponent* AOwner)
    : TVivIzudeToolBarButton(AOwner),
      FEdit(new TEdit(this)),
      FTimer(new TTimer(this)),
      FItems(std::make_unique<TStringList>()),
      FItemSelector(new TListBox(this)) {
  SetDropDownKind(ddkDropDownButton);
  FTimer->SetInterval(1);
  FTimer->SetEnabled(false);
  FTimer->OnTimer = [this](TObject* Sender) { TimerTick(Sender); };
  FEdit->SetTabStop(true);
  FEdit->SetAlign(alClient);
  FEdit->OnChange = [this](TObject* Sender) { EditChange(Sender); };
  FEdit->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { EditKeyDown(Sender, Key, Shift); };
  SetBounds(Left(), Top(), 100, 24);
  SetHorizontalTextAlign(gtaLeading);
  FItemSelector->SetBounds(0, 0, 200, 150);
  FItemSelector->SetAlign(alClient);
  FItemSelector->OnClick = [this](TObject* Sender) { ListClick(Sender); };
  FItemSelector->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { ListKeyDown(Sender, Key, Shift); };
  FItemSelector->OnKeyUp = [this](TObject* Sender, Word& Key, TShiftState Shift) { ListKeyUp(Sender, Key, Shift); };
  SetDropDownControl(FItemSelector);
  SetDropDownWidth(static_cast<float>(FItemSelector->Width()));
  SetDropDownHeight(static_cast<float>(FItemSelector->Height()));
}

void TVivIzudeToolBarCustomItemPicker::BeforeDestruction() {
  FTimer->SetEnabled(false);
  FTimer->OnTimer = nullptr;
  FEdit->OnChange = nullptr;
  FEdit->OnKeyDown = nullptr;
  FItemSelector->OnClick = nullptr;
  FItemSelector->OnKeyDown = nullptr;
  FItemSelector->OnKeyUp = nullptr;
  TVivIzudeToolBarButton::BeforeDestruction();
}

void TVivIzudeToolBarCustomItemPicker::SetSelectedItemIndex(Integer Value) {
  FItemIndex = Value;
  Invalidate();
}

void TVivIzudeToolBarCustomItemPicker::SetEditable(bool Value) {
  if (FEditable == Value) return;
  FEditable = Value;
  FEdit->SetParent(Value ? this : nullptr);
  FEdit->SetVisible(Value);
  Invalidate();
}

String TVivIzudeToolBarCustomItemPicker::GetSelectedItemText() const {
  if (FItems->Count() == 0 || FItemIndex < 0 || FItemIndex >= FItems->Count()) return u"";
  return FItems->Strings(FItemIndex);
}

String TVivIzudeToolBarCustomItemPicker::GetText() const { return FEditable ? FEdit->Text() : GetSelectedItemText(); }

void TVivIzudeToolBarCustomItemPicker::SelectItemByName(const String& AText) {
  FItemIndex = FItems->IndexOf(AText);
  Invalidate();
}

Integer TVivIzudeToolBarCustomItemPicker::FindItemByPrefix(const String& AText) const {
  const String Pattern = AText + u"*";
  for (Integer I = 0; I < FItems->Count(); ++I)
    if (TVivIzudeUtils::MatchStrEx(Pattern, FItems->Strings(I), false)) return I;
  return -1;
}

void TVivIzudeToolBarCustomItemPicker::SelectAndNotify(Integer Value) {
  FItemIndex = Value;
  DoItemSelected();
  Invalidate();
}

void TVivIzudeToolBarCustomItemPicker::SelectItemByText(const String& AText) {
  const Integer I = FindItemByPrefix(AText);
  if (I >= 0) SelectAndNotify(I);
}

void TVivIzudeToolBarCustomItemPicker::SelectItemByKey(Char AKey) { SelectItemByText(String(1, AKey)); }

// Without items there is nothing to select: the keys leave the picker
// as it is rather than pointing it at an item that does not exist.
void TVivIzudeToolBarCustomItemPicker::SelectFirstItem() {
  if (FItems->Count() > 0) SelectAndNotify(0);
}

void TVivIzudeToolBarCustomItemPicker::SelectLastItem() {
  if (FItems->Count() > 0) SelectAndNotify(FItems->Count() - 1);
}

void TVivIzudeToolBarCustomItemPicker::SelectNextItem() {
  if (FItems->Count() > 0) SelectAndNotify(std::clamp(FItemIndex + 1, 0, FItems->Count() - 1));
}

void TVivIzudeToolBarCustomItemPicker::SelectPreviousItem() {
  if (FItems->Count() > 0) SelectAndNotify(std::clamp(FItemIndex - 1, 0, FItems->Count() - 1));
}

void TVivIzudeToolBarCustomItemPicker::DoItemSelected() {
  if (FEdit->HandleAllocated()) {
    FEdit->SetText(GetSelectedItemText());
    FEdit->SetSelStart(static_cast<Integer>(FEdit->Text().size()));
  }
  if (OnItemSelected) OnItemSelected(this, FItemIndex);
}

void TVivIzudeToolBarCustomItemPicker::DropDown() {
  TVivIzudeToolBarButton::DropDown();
  if (GetPopupControl()->IsOpen()) {
    FItemSelector->SetItemIndex(-1);
    FItemSelector->SetItemIndex(FItemIndex);
  }
}

void TVivIzudeToolBarCustomItemPicker::UpdateDropDownControl() {
  FItemSelector->Items()->Clear();
  FItemSelector->Items()->Assign(FItems.get());
  FItemSelector->SetItemIndex(FItemIndex);
}

void TVivIzudeToolBarCustomItemPicker::ChooseListItem() {
  FItemIndex = FItemSelector->ItemIndex();
  if (CloseOnSelection()) DropDown();
  DoItemSelected();
  Invalidate();
}

void TVivIzudeToolBarCustomItemPicker::ListClick(TObject*) {
  // Arrow keys move the list's selection (which reports a click) without
  // choosing.
  if (!FKeyboardUsed) ChooseListItem();
}

void TVivIzudeToolBarCustomItemPicker::ListKeyDown(TObject*, Word&, TShiftState) { FKeyboardUsed = true; }

void TVivIzudeToolBarCustomItemPicker::ListKeyUp(TObject*, Word& Key, TShiftState) {
  if (Key == VK_RETURN || Key == VK_SPACE) ChooseListItem();
  FKeyboardUsed = false;
}

void TVivIzudeToolBarCustomItemPicker::EditChange(TObject*) {
  SelectItemByName(FEdit->Text());
  if (OnEditChange) OnEditChange(this);
}

void TVivIzudeToolBarCustomItemPicker::EditKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key == VK_F4 && !Shift.Contains(ssShift) && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl)) DropDown();
}

void TVivIzudeToolBarCustomItemPicker::DoEnter() {
  TVivIzudeToolBarButton::DoEnter();
  if (FEditable) FTimer->SetEnabled(true);
}

void TVivIzudeToolBarCustomItemPicker::TimerTick(TObject*) {
  FTimer->SetEnabled(false);
  if (FEditable && FEdit->CanFocus()) FEdit->SetFocus();
}

void TVivIzudeToolBarCustomItemPicker::Draw(TVivIzudeGraphics* AGraphics, const TRectF& ARect) {
  // The edit covers the client area.
  if (!FEditable) TVivIzudeToolBarButton::Draw(AGraphics, ARect);
}

// ---------------------------------------------------------------- font pickers

TVivIzudeToolBarFontNamePicker::TVivIzudeToolBarFontNamePicker(TComponent* AOwner)
    : TVivIzudeToolBarCustomItemPicker(AOwner) {
  SetAutoOptionsMenuText(u"Font Name");
  TVivIzudeUtils::GetFonts(Items());
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeToolBarFontNamePicker::DoItemSelected() {
  TVivIzudeToolBarCustomItemPicker::DoItemSelected();
  if (OnFontNameSelected) OnFontNameSelected(this, SelectedFontName());
}

TVivIzudeToolBarFontSizePicker::TVivIzudeToolBarFontSizePicker(TComponent* AOwner)
    : TVivIzudeToolBarCustomItemPicker(AOwner) {
  SetAutoOptionsMenuText(u"Font Size");
  for (const char16_t* Size :
       {u"8", u"9", u"10", u"11", u"12", u"14", u"16", u"18", u"20", u"22", u"24", u"26", u"28", u"36", u"48", u"72"})
    Items()->Add(Size);
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

float TVivIzudeToolBarFontSizePicker::SelectedFontSize() const {
  const String T = GetSelectedItemText();
  double Value = 0;
  if (T.empty() || !TryStrToFloat(T, Value)) return -1;
  return static_cast<float>(Value);
}

void TVivIzudeToolBarFontSizePicker::SetSelectedFontSize(float Value) { SelectItemByName(FloatToStr(Value)); }

void TVivIzudeToolBarFontSizePicker::DoItemSelected() {
  TVivIzudeToolBarCustomItemPicker::DoItemSelected();
  if (OnFontSizeSelected) OnFontSizeSelected(this, SelectedFontSize());
}

// ---------------------------------------------------------------- settings registry

TVivIzudeToolBarItemPicker::TVivIzudeToolBarItemPicker(TComponent* AOwner) : TVivIzudeToolBarCustomItemPicker(AOwner) {
  if (!IsDesignerForm()) RegisterRuntimeClasses();
}

void TVivIzudeToolBarColorPicker::RegisterRuntimeClasses() {
  TVivIzudeToolBarButton::RegisterRuntimeClasses();
  RegisterVivIzudeToolBarPickerClasses();
}

void TVivIzudeToolBarBitmapPicker::RegisterRuntimeClasses() {
  TVivIzudeToolBarButton::RegisterRuntimeClasses();
  RegisterVivIzudeToolBarPickerClasses();
}

void TVivIzudeToolBarItemPicker::RegisterRuntimeClasses() {
  TVivIzudeToolBarCustomItemPicker::RegisterRuntimeClasses();
  RegisterVivIzudeToolBarPickerClasses();
}

void TVivIzudeToolBarFontNamePicker::RegisterRuntimeClasses() {
  TVivIzudeToolBarCustomItemPicker::RegisterRuntimeClasses();
  RegisterVivIzudeToolBarPickerClasses();
}

void TVivIzudeToolBarFontSizePicker::RegisterRuntimeClasses() {
  TVivIzudeToolBarCustomItemPicker::RegisterRuntimeClasses();
  RegisterVivIzudeToolBarPickerClasses();
}

namespace {

template <class T>
void AddCloseOnSelection(TVivIzudeClassBuilder<T>& B) {
  using D = TVivIzudeDefaultToolBarButton;
  B.Property(u"CloseOnSelection", static_cast<bool (T::*)() const>(&D::CloseOnSelection),
             static_cast<void (T::*)(bool)>(&D::SetCloseOnSelection));
}

template <class T>
void AddEditable(TVivIzudeClassBuilder<T>& B) {
  using I = TVivIzudeToolBarCustomItemPicker;
  B.Property(u"Editable", static_cast<bool (T::*)() const>(&I::Editable),
             static_cast<void (T::*)(bool)>(&I::SetEditable));
}

}  // namespace

void RegisterVivIzudeToolBarPickerClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeToolBarButtonClasses();
    RegisterVivIzudeColorSelectorClasses();
    RegisterVivIzudeBitmapSelectorClasses();
    auto& Registry = TVivIzudeClassRegistry::Instance();
    // The item list travels as its text, one item a line.
    if (!Registry.Find(std::type_index(typeid(TStringList))))
      VivIzudeRegisterClass<TStringList>(u"TStringList")
          .Property(u"Text", static_cast<String (TStringList::*)() const>(&TStrings::Text),
                    static_cast<void (TStringList::*)(const String&)>(&TStrings::SetText));

    using CP = TVivIzudeToolBarColorPicker;
    auto Color = VivIzudeRegisterClass<CP>(u"TVivIzudeToolBarColorPicker");
    Color.Inherits<TVivIzudeToolBarButton>()
        .Color(u"SelectedColor", &CP::SelectedColor, &CP::SetSelectedColor)
        .Property(u"SelectedItemIndex", &CP::SelectedItemIndex, &CP::SetSelectedItemIndex)
        .Object(u"Items", &CP::Items)
        .Event(u"OnColorSelected");
    AddCloseOnSelection(Color);

    using BP = TVivIzudeToolBarBitmapPicker;
    auto Bitmap = VivIzudeRegisterClass<BP>(u"TVivIzudeToolBarBitmapPicker");
    Bitmap.Inherits<TVivIzudeToolBarButton>()
        .Property(u"SelectedItemIndex", &BP::SelectedItemIndex, &BP::SetSelectedItemIndex)
        .Object(u"Items", &BP::Items)
        .Event(u"OnBitmapSelected");
    AddCloseOnSelection(Bitmap);

    using IP = TVivIzudeToolBarItemPicker;
    using CI = TVivIzudeToolBarCustomItemPicker;
    auto Item = VivIzudeRegisterClass<IP>(u"TVivIzudeToolBarItemPicker");
    Item.Inherits<TVivIzudeToolBarButton>()
        .Property(u"SelectedItemIndex", static_cast<Integer (IP::*)() const>(&CI::SelectedItemIndex),
                  static_cast<void (IP::*)(Integer)>(&CI::SetSelectedItemIndex))
        .Object(u"Items", static_cast<TStringList* (IP::*)() const>(&CI::Items));
    AddEditable(Item);

    auto FontName = VivIzudeRegisterClass<TVivIzudeToolBarFontNamePicker>(u"TVivIzudeToolBarFontNamePicker");
    FontName.Inherits<TVivIzudeToolBarButton>();
    AddCloseOnSelection(FontName);
    AddEditable(FontName);

    auto FontSize = VivIzudeRegisterClass<TVivIzudeToolBarFontSizePicker>(u"TVivIzudeToolBarFontSizePicker");
    FontSize.Inherits<TVivIzudeToolBarButton>();
    AddCloseOnSelection(FontSize);
    AddEditable(FontSize);
    return true;
  }();
  (void)Registered;
}
