#include "chart/widgets/win/VivCToolBarPopup.h"

#include <cmath>

#include "chart/widgets/win/VivIzudeBitmapContainer.h"

namespace {

Integer RoundI(double V) { return static_cast<Integer>(std::nearbyint(V)); }

}  // namespace

// ---------------------------------------------------------------- popup buttons

TVivCToolBarPopupButton::TVivCToolBarPopupButton(TCollection* Collection)
    : TCollectionItem(Collection), FBitmap(std::make_unique<TPicture>()) {
  auto* Buttons = dynamic_cast<TVivCToolBarPopupButtons*>(Collection);
  FOwner = Buttons ? Buttons->Owner() : nullptr;
  FBitmap->OnChange = [this](TObject*) { PopupButtonBitmapChanged(); };
  if (FOwner && FOwner->ToolBar()) {
    TVivIzudeToolBar* T = FOwner->ToolBar();
    FButton = new TVivIzudeToolBarButton(T);
    FButton->SetTabStop(false);
    FButton->SetAllowFocus(false);
    FButton->SetParent(T);
    TVivIzudeCustomToolBarPopup* P = FOwner;
    FButton->OnClick = [P](TObject* Sender) { P->PopupButtonClick(Sender); };
    T->AddCustomControl(FButton, Index());
  }
  UpdateOwner();
}

TVivCToolBarPopupButton::~TVivCToolBarPopupButton() {
  // The tool-bar button goes with its item: a deleted item must not leave a
  // button that still answers clicks. It belongs to the tool bar, so only
  // while the tool bar still holds it.
  if (TVivIzudeToolBar* T = FOwner ? FOwner->ToolBar() : nullptr; T && FButton) {
    for (Integer I = 0; I < T->ComponentCount(); ++I)
      if (T->Components(I) == FButton) {
        delete FButton;
        break;
      }
  }
  FButton = nullptr;
  FBitmap.reset();
  // Out of the collection first, so that the owner sizes itself without us.
  SetCollection(nullptr);
  UpdateOwner();
}

void TVivCToolBarPopupButton::UpdateOwner() {
  if (FOwner) FOwner->UpdatePopupSize();
}

void TVivCToolBarPopupButton::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TVivCToolBarPopupButton*>(Source);
  if (!S) return;
  // Through the setters, so that the item's tool-bar button shows the copy.
  SetText(S->FText);
  SetWidth(S->FWidth);
  SetHeight(S->FHeight);
  SetLeft(S->FLeft);
  SetTop(S->FTop);
  SetEnabled(S->FEnabled);
  SetVisible(S->FVisible);
  SetBitmap(S->FBitmap.get());
  SetLastElement(S->FLastElement);
}

void TVivCToolBarPopupButton::SetText(const String& Value) {
  if (FText == Value) return;
  FText = Value;
  if (FButton) FButton->SetText(Value);
  UpdateOwner();
}

void TVivCToolBarPopupButton::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  if (FButton) FButton->SetEnabled(Value);
  UpdateOwner();
}

void TVivCToolBarPopupButton::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  if (FButton) FButton->SetVisible(Value);
  UpdateOwner();
}

void TVivCToolBarPopupButton::SetLastElement(bool Value) {
  if (FLastElement == Value) return;
  FLastElement = Value;
  if (FButton) FButton->SetLastElement(Value);
  UpdateOwner();
}

void TVivCToolBarPopupButton::SetLeft(float Value) {
  if (FLeft == Value) return;
  FLeft = Value;
  if (FButton && Value > -1) FButton->SetLeft(RoundI(Value));
  UpdateOwner();
}

void TVivCToolBarPopupButton::SetTop(float Value) {
  if (FTop == Value) return;
  FTop = Value;
  if (FButton && Value > -1) FButton->SetTop(RoundI(Value));
  UpdateOwner();
}

void TVivCToolBarPopupButton::SetWidth(float Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  if (FButton && Value > -1) FButton->SetWidth(RoundI(Value));
  UpdateOwner();
}

void TVivCToolBarPopupButton::SetHeight(float Value) {
  if (FHeight == Value) return;
  FHeight = Value;
  if (FButton && Value > -1) FButton->SetHeight(RoundI(Value));
  UpdateOwner();
}

void TVivCToolBarPopupButton::SetBitmap(TPicture* Value) {
  if (Value != FBitmap.get()) FBitmap->Assign(Value);
}

void TVivCToolBarPopupButton::PopupButtonBitmapChanged() {
  if (FButton && FBitmap && FBitmap->Graphic() && !FBitmap->Graphic()->Empty()) {
    TVivScaledBitmaps* L = FButton->Bitmaps();
    L->Clear();
    L->AddBitmap(FBitmap.get(), 1.0f);
  }
  UpdateOwner();
}

TVivCToolBarPopupButtons::TVivCToolBarPopupButtons(TVivIzudeCustomToolBarPopup* AOwner)
    : TCollection(TCollection::ItemClass<TVivCToolBarPopupButton>()), FOwner(AOwner) {}

// ---------------------------------------------------------------- popup

TVivIzudeCustomToolBarPopup::TVivIzudeCustomToolBarPopup(TComponent* AOwner)
    : TVivIzudeCustomToolBarPopup(AOwner, true) {
  SetUpToolBar();
}

TVivIzudeCustomToolBarPopup::TVivIzudeCustomToolBarPopup(TComponent* AOwner, bool)
    : TVivIzudeCustomNonFocusablePopup(AOwner), FButtons(std::make_unique<TVivCToolBarPopupButtons>(this)) {
  SetPlacement(ppMouse);
}

void TVivIzudeCustomToolBarPopup::SetUpToolBar() {
  FToolBar = CreateToolBar();
  if (!IsDesigning()) FToolBar->SetParent(this);
  FToolBar->SetAutoAlign(true);
  FToolBar->OnClick = [this](TObject* Sender) { ToolBarClick(Sender); };
  FToolBar->SetTabStop(false);
  FToolBar->SetAllowFocus(false);
  FToolBar->OptionsMenu()->SetShowButton(false);
  FToolBar->Appearance()->SetDragGrip(false);
  FToolBar->OnDragGripMoving = [this](TObject* Sender, double Dx, double Dy) { ToolBarDragGripMoving(Sender, Dx, Dy); };
  FToolBar->SetAutoMoveToolBar(false);
  FToolBar->OnUpdateControls = [this](TObject*) { UpdatePopupSize(); };
  SetContentControl(FToolBar);
}

TVivIzudeCustomToolBarPopup::~TVivIzudeCustomToolBarPopup() {
  // The items ask for a new size while they go; nothing to size any more.
  FButtons.reset();
}

TVivIzudeToolBar* TVivIzudeCustomToolBarPopup::CreateToolBar() { return new TVivIzudeToolBar(this); }

void TVivIzudeCustomToolBarPopup::Assign(TPersistent* Source) {
  TVivIzudeCustomNonFocusablePopup::Assign(Source);
  auto* S = dynamic_cast<TVivIzudeCustomToolBarPopup*>(Source);
  if (!S) return;
  FButtons->Assign(S->FButtons.get());
  SetAutoAlign(S->AutoAlign());
  SetDragGrip(S->DragGrip());
}

bool TVivIzudeCustomToolBarPopup::AutoAlign() const { return FToolBar ? FToolBar->AutoAlign() : true; }
void TVivIzudeCustomToolBarPopup::SetAutoAlign(bool Value) {
  if (FToolBar) FToolBar->SetAutoAlign(Value);
}
bool TVivIzudeCustomToolBarPopup::DragGrip() const { return FToolBar && FToolBar->Appearance()->DragGrip(); }
void TVivIzudeCustomToolBarPopup::SetDragGrip(bool Value) {
  if (FToolBar) FToolBar->Appearance()->SetDragGrip(Value);
}

void TVivIzudeCustomToolBarPopup::SetAdaptToStyle(bool Value) {
  TVivIzudeCustomNonFocusablePopup::SetAdaptToStyle(Value);
  if (FToolBar) FToolBar->SetAdaptToStyle(Value);
}

TVivCToolBarPopupButton* TVivIzudeCustomToolBarPopup::FindPopupButton(TVivIzudeToolBarButton* AButton) const {
  if (!FButtons || !AButton) return nullptr;
  for (Integer I = 0; I < FButtons->Count(); ++I)
    if (FButtons->Items(I)->Button() == AButton) return FButtons->Items(I);
  return nullptr;
}

void TVivIzudeCustomToolBarPopup::UpdatePopupSize() {
  if (!FToolBar || IsLoading() || IsDestroying() || !FButtons) return;
  SetDropDownWidth(static_cast<float>(FToolBar->Width()));
  SetDropDownHeight(static_cast<float>(FToolBar->Height()));
  // The open form's placement works from its size, not its bounds.
  UpdatePopupFormSize();
}

void TVivIzudeCustomToolBarPopup::UpdateToolBarStyle() {
  if (FToolBar) FToolBar->SetAdaptToStyle(AdaptToStyle());
}

void TVivIzudeCustomToolBarPopup::Activate() {
  if (Activated()) Deactivate();
  if (FToolBar) {
    TCustomForm* Host = Screen ? Screen->ActiveForm() : nullptr;
    if (!Host && Application) Host = Application->MainForm();
    if (Host) FToolBar->SetParent(Host);
    FToolBar->SetVisible(false);
  }
  UpdateToolBarStyle();
  OpenPopup(false);
  // Aligned to the form's client area the tool bar would only ever take the
  // form's size; unaligned it keeps sizing itself to its elements, and the
  // form follows it.
  if (FToolBar && PopupForm() && FToolBar->Parent() == PopupForm()) {
    FToolBar->SetAlign(alNone);
    FToolBar->SetBounds(0, 0, FToolBar->Width(), FToolBar->Height());
    FToolBar->UpdateControls();
  }
  UpdatePopupSize();
  FActivate = true;
  if (OnActivate) OnActivate(this);
}

void TVivIzudeCustomToolBarPopup::Deactivate() {
  ClosePopup();
  FActivate = false;
  if (OnDeactivate) OnDeactivate(this);
}

void TVivIzudeCustomToolBarPopup::DoClosePopup() {
  // The non-focusable close has freed the form by now, so every close
  // leaves no form behind.
  TVivIzudeCustomNonFocusablePopup::DoClosePopup();
}

bool TVivIzudeCustomToolBarPopup::DropDownActive() const { return FToolBar && FToolBar->DropDownActive(); }

void TVivIzudeCustomToolBarPopup::ToolBarDragGripMoving(TObject*, double DeltaX, double DeltaY) {
  TVivIzudeCustomPopupForm* Form = PopupForm();
  if (!Form) return;
  Form->SetLeft(Form->Left() - RoundI(DeltaX));
  Form->SetTop(Form->Top() - RoundI(DeltaY));
}

void TVivIzudeCustomToolBarPopup::ToolBarClick(TObject*) { RestoreActiveWindow(); }

void TVivIzudeCustomToolBarPopup::PopupButtonClick(TObject* Sender) {
  if (OnButtonClick) OnButtonClick(this, FindPopupButton(dynamic_cast<TVivIzudeToolBarButton*>(Sender)));
  RestoreActiveWindow();
}

// ---------------------------------------------------------------- settings registry

void RegisterVivCToolBarPopupClasses() {
  static const bool Registered = [] {
    RegisterVivIzudeToolBarClasses();
    RegisterVivIzudeBitmapContainerClasses();  // the picture class
    auto& Registry = TVivIzudeClassRegistry::Instance();
    using B = TVivCToolBarPopupButton;
    TVivIzudeClassInfo& ItemInfo = Registry.Add(std::type_index(typeid(B)), u"TVivCToolBarPopupButton");
    TVivIzudeClassBuilder<B>(ItemInfo)
        .Property(u"Text", &B::Text, &B::SetText)
        .Property(u"Tag", &B::Tag, &B::SetTag)
        .Property(u"Width", &B::Width, &B::SetWidth)
        .Stored(&B::IsWidthStored)
        .Property(u"Height", &B::Height, &B::SetHeight)
        .Stored(&B::IsHeightStored)
        .Property(u"Enabled", &B::Enabled, &B::SetEnabled)
        .Property(u"Visible", &B::Visible, &B::SetVisible)
        .Property(u"Top", &B::Top, &B::SetTop)
        .Stored(&B::IsTopStored)
        .Property(u"Left", &B::Left, &B::SetLeft)
        .Stored(&B::IsLeftStored)
        .Property(u"LastElement", &B::LastElement, &B::SetLastElement)
        .Object(u"Bitmap", &B::Bitmap);
    ItemInfo.Create = [] { return static_cast<TObject*>(new B(nullptr)); };
    using L = TVivCToolBarPopupButtons;
    VivIzudeRegisterClass<L>(u"TVivCToolBarPopupButtons")
        // Each cleared item takes its tool-bar button with it; the copy goes
        // through the setters, so a new item's button shows it. The copy
        // leaves Tag alone, so it follows here.
        .Collection(VivIzudeCollectionAccessOf<L>([](L* Buttons, TObject* Source) {
          B* From = VivIzudeCollectionItemOf<B>(Source, u"TVivCToolBarPopupButton");
          B* Item = Buttons->Add();
          Item->Assign(From);
          Item->SetTag(From->Tag());
        }));
    return true;
  }();
  (void)Registered;
}
