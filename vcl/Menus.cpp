#include "vcl/Menus.h"

#include <algorithm>
#include <cstring>

#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"
#include "rtl/Win32Handles.h"
#include "vcl/Forms.h"
#include "vcl/Messages.h"

namespace {

// Command identifiers of menu items; WM_COMMAND carries 16 bits of them.
// Control identifiers start at 100 in the control base, so menus count down
// from the top of the range to stay apart.
UINT gNextCommand = 0xFFFF;

UINT NewCommand() {
  const UINT id = gNextCommand;
  gNextCommand = gNextCommand > 0x2000 ? gNextCommand - 1 : 0xFFFF;
  return id;
}

struct TKeyName {
  Word Key;
  const char16_t* Name;
};

// The names of the keys that have no printable face, as shortcut texts in
// menus show them (and settings files store them).
const TKeyName kKeyNames[] = {
    {VK_BACK, u"BkSp"},  {VK_TAB, u"Tab"},     {VK_ESCAPE, u"Esc"}, {VK_RETURN, u"Enter"}, {VK_SPACE, u"Space"},
    {VK_PRIOR, u"PgUp"}, {VK_NEXT, u"PgDn"},   {VK_END, u"End"},    {VK_HOME, u"Home"},    {VK_LEFT, u"Left"},
    {VK_UP, u"Up"},      {VK_RIGHT, u"Right"}, {VK_DOWN, u"Down"},  {VK_INSERT, u"Ins"},   {VK_DELETE, u"Del"},
};

const char16_t kShiftText[] = u"Shift+";
const char16_t kCtrlText[] = u"Ctrl+";
const char16_t kAltText[] = u"Alt+";

String KeyName(Word Key) {
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return String(1, static_cast<Char>(Key));
  if (Key >= VK_F1 && Key <= VK_F24) return u"F" + IntToStr(Key - VK_F1 + 1);
  for (const TKeyName& k : kKeyNames)
    if (k.Key == Key) return k.Name;
  if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) return u"Num " + IntToStr(Key - VK_NUMPAD0);
  return {};
}

String TrimBlanks(const String& S) {
  std::size_t b = 0, e = S.size();
  while (b < e && S[b] == u' ') ++b;
  while (e > b && S[e - 1] == u' ') --e;
  return S.substr(b, e - b);
}

HWND MenuOwnerWindow(TComponent* PopupComponent) {
  if (auto* control = dynamic_cast<TControl*>(PopupComponent)) {
    if (TCustomForm* form = GetParentForm(control); form && form->HandleAllocated()) return form->Handle();
  }
  if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
    return Application->MainForm()->Handle();
  return nullptr;
}

// Shows Menu at X, Y for Owner (a hidden helper window when there is none)
// and answers the chosen command, 0 for none.
UINT TrackMenu(HMENU Menu, Integer X, Integer Y, HWND Owner, UINT Flags) {
  TWindowHandle helper;
  if (!Owner) {
    helper.Reset(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr));
    Owner = helper.Get();
  }
  // Without the owner in the foreground, the menu would not close when the
  // user clicks elsewhere.
  SetForegroundWindow(Owner);
  const UINT command = static_cast<UINT>(
      TrackPopupMenuEx(Menu, Flags | TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, X, Y, Owner, nullptr));
  PostMessageW(Owner, WM_NULL, 0, 0);
  return command;
}

}  // namespace

// ---------------------------------------------------------------- shortcuts

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if (Key & 0xFF00) return 0;
  TShortCut result = Key;
  if (Shift.Contains(ssShift)) result |= scShift;
  if (Shift.Contains(ssCtrl)) result |= scCtrl;
  if (Shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut AShortCut, Word& Key, TShiftState& Shift) {
  Key = AShortCut & 0xFF;
  Shift = TShiftState();
  if (AShortCut & scShift) Shift.Include(ssShift);
  if (AShortCut & scCtrl) Shift.Include(ssCtrl);
  if (AShortCut & scAlt) Shift.Include(ssAlt);
}

String ShortCutToText(TShortCut AShortCut) {
  const String name = KeyName(AShortCut & 0xFF);
  if (name.empty()) return {};
  String result;
  if (AShortCut & scShift) result += kShiftText;
  if (AShortCut & scCtrl) result += kCtrlText;
  if (AShortCut & scAlt) result += kAltText;
  return result + name;
}

TShortCut TextToShortCut(const String& Text) {
  String rest = TrimBlanks(Text);
  TShortCut modifiers = 0;
  for (;;) {
    TShortCut found = 0;
    std::size_t length = 0;
    const std::pair<const char16_t*, TShortCut> prefixes[] = {{u"Shift", scShift}, {u"Ctrl", scCtrl}, {u"Alt", scAlt}};
    for (const auto& [prefix, flag] : prefixes) {
      const String p = prefix;
      if (!StartsText(p, rest)) continue;
      // The word must be followed by '+' (blanks allowed), else it may be a key.
      std::size_t i = p.size();
      while (i < rest.size() && rest[i] == u' ') ++i;
      if (i < rest.size() && rest[i] == u'+') {
        found = flag;
        length = i + 1;
      }
    }
    if (!found) break;
    modifiers |= found;
    rest = TrimBlanks(rest.substr(length));
  }
  if (rest.empty()) return 0;
  for (Word key = 1; key < 0xFF; ++key) {
    const String name = KeyName(key);
    if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(key | modifiers);
  }
  return 0;
}

Char GetHotkey(const String& Caption) {
  for (std::size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != u'&') continue;
    if (Caption[i + 1] == u'&') {
      ++i;
      continue;
    }
    Char c = Caption[i + 1];
    if (c >= u'a' && c <= u'z') c = static_cast<Char>(c - u'a' + u'A');
    return c;
  }
  return 0;
}

String StripHotkey(const String& Caption) {
  String result;
  for (std::size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] != u'&') {
      result += Caption[i];
    } else if (i + 1 < Caption.size() && Caption[i + 1] == u'&') {
      result += u'&';
      ++i;
    }
  }
  return result;
}

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner)
    : TComponent(AOwner), FActionLink([this] { ActionChanged(); }), FCommand(NewCommand()) {}

TMenuItem::~TMenuItem() {
  // Sub-items own their menus: take them out before this one goes.
  if (FHandle)
    while (GetMenuItemCount(FHandle.Get()) > 0) RemoveMenu(FHandle.Get(), 0, MF_BYPOSITION);
}

void TMenuItem::BeforeDestruction() {
  FActionLink.SetAction(nullptr);
  while (!FItems.empty()) {
    TMenuItem* child = FItems.back();
    FItems.pop_back();
    child->FParent = nullptr;
    delete child;
  }
  if (FParent) FParent->Remove(this);
  TComponent::BeforeDestruction();
}

void TMenuItem::MenuChanged() {
  for (TMenuItem* item = this; item; item = item->FParent) item->FDirty = true;
}

void TMenuItem::SetCaption(const String& Value) {
  if (Value != FCaption) FCaption = Value, MenuChanged();
}
void TMenuItem::SetEnabled(bool Value) {
  if (Value != FEnabled) FEnabled = Value, MenuChanged();
}
void TMenuItem::SetVisible(bool Value) {
  if (Value != FVisible) FVisible = Value, MenuChanged();
}
void TMenuItem::SetDefault(bool Value) {
  if (Value != FDefault) FDefault = Value, MenuChanged();
}
void TMenuItem::SetShortCut(TShortCut Value) {
  if (Value != FShortCut) FShortCut = Value, MenuChanged();
}
void TMenuItem::SetRadioItem(bool Value) {
  if (Value != FRadioItem) FRadioItem = Value, MenuChanged();
}
void TMenuItem::SetImageIndex(TImageIndex Value) {
  if (Value != FImageIndex) FImageIndex = Value, MenuChanged();
}

void TMenuItem::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FRadioItem && FParent) {
    for (TMenuItem* sibling : FParent->FItems)
      if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex && sibling->FChecked) {
        sibling->FChecked = false;
        sibling->MenuChanged();
      }
  }
  MenuChanged();
}

TBitmap* TMenuItem::Bitmap() {
  if (!FBitmap) {
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->OnChange = [this](TObject*) { MenuChanged(); };
  }
  return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
  if (Value)
    Bitmap()->Assign(Value);
  else if (FBitmap)
    FBitmap->SetSize(0, 0);
  MenuChanged();
}

void TMenuItem::SetAction(TBasicAction* Value) { FActionLink.SetAction(Value); }

void TMenuItem::ActionChanged() {
  auto* action = dynamic_cast<TCustomAction*>(FActionLink.Action());
  if (!action) return;
  FCaption = action->Caption();
  FHint = action->Hint();
  FEnabled = action->Enabled();
  FChecked = action->Checked();
  FVisible = action->Visible();
  FImageIndex = action->ImageIndex();
  FShortCut = action->ShortCut();
  FAutoCheck = false;  // the action toggles itself
  MenuChanged();
}

TMenuItem* TMenuItem::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
  return FItems[static_cast<std::size_t>(Index)];
}

void TMenuItem::Insert(Integer Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EInvalidOperation(u"Menu inserted twice");
  Index = std::clamp<Integer>(Index, 0, Count());
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  MenuChanged();
}

void TMenuItem::Delete(Integer Index) {
  TMenuItem* item = Items(Index);
  FItems.erase(FItems.begin() + Index);
  item->FParent = nullptr;
  MenuChanged();
}

void TMenuItem::Remove(TMenuItem* Item) {
  const Integer index = IndexOf(Item);
  if (index >= 0) Delete(index);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();  // each takes itself out
}

Integer TMenuItem::IndexOf(const TMenuItem* Item) const {
  const auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(UINT ACommand) {
  for (TMenuItem* item : FItems) {
    if (item->FCommand == ACommand) return item;
    if (TMenuItem* found = item->Find(ACommand)) return found;
  }
  return nullptr;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut AShortCut) {
  if (AShortCut == 0) return nullptr;
  for (TMenuItem* item : FItems) {
    if (!item->FVisible || !item->FEnabled) continue;
    if (item->FShortCut == AShortCut) return item;
    if (TMenuItem* found = item->FindShortCut(AShortCut)) return found;
  }
  return nullptr;
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck && !(FChecked && FRadioItem)) SetChecked(!FChecked);
  if (OnClick)
    OnClick(this);
  else if (FActionLink.Action())
    FActionLink.Execute(this);
}

TCustomImageList* TMenuItem::GetImageList() const {
  const TMenuItem* root = this;
  while (root->FParent) root = root->FParent;
  return root->FImagesSource ? root->FImagesSource() : nullptr;
}

void TMenuItem::SetImagesSource(std::function<TCustomImageList*()> Source) {
  FImagesSource = std::move(Source);
  // Every item's picture may change.
  std::function<void(TMenuItem*)> mark = [&](TMenuItem* item) {
    item->FDirty = true;
    for (TMenuItem* child : item->FItems) mark(child);
  };
  mark(this);
}

HBITMAP TMenuItem::MenuBitmap() {
  FMenuBitmap.Reset();
  TBitmap picture;
  TCustomImageList* images = GetImageList();
  if (images && FImageIndex >= 0 && FImageIndex < images->Count()) {
    picture.SetPixelFormat(pf32bit);
    picture.SetSize(images->Width(), images->Height());
    std::memset(picture.ScanLine(0), 0, static_cast<std::size_t>(picture.BytesPerScanLine()) * picture.Height());
    images->Draw(picture.Canvas(), 0, 0, FImageIndex, dsTransparent, itImage, FEnabled);
  } else if (FBitmap && !FBitmap->Empty()) {
    picture.Assign(FBitmap.get());
    picture.SetPixelFormat(pf32bit);
  } else {
    return nullptr;
  }
  // Menus draw a 32-bit picture with its alpha: make one that no DC holds.
  FMenuBitmap = DibSectionCopy(picture);
  return static_cast<HBITMAP>(FMenuBitmap.Get());
}

void TMenuItem::RebuildHandle() {
  while (GetMenuItemCount(FHandle.Get()) > 0) RemoveMenu(FHandle.Get(), 0, MF_BYPOSITION);
  UINT position = 0;
  for (TMenuItem* item : FItems) {
    if (!item->FVisible) continue;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
    info.wID = item->FCommand;
    String text;
    if (item->IsLine()) {
      info.fType = MFT_SEPARATOR;
    } else {
      info.fMask |= MIIM_STRING;
      text = item->FCaption;
      if (item->FShortCut) text += u"\t" + ShortCutToText(item->FShortCut);
      info.dwTypeData = reinterpret_cast<wchar_t*>(text.data());
      if (item->FRadioItem) info.fType |= MFT_RADIOCHECK;
      if (!item->FEnabled) info.fState |= MFS_GRAYED;
      if (item->FChecked) info.fState |= MFS_CHECKED;
      if (item->FDefault) info.fState |= MFS_DEFAULT;
      if (HBITMAP picture = item->MenuBitmap()) {
        info.fMask |= MIIM_BITMAP;
        info.hbmpItem = picture;
      }
      if (!item->FItems.empty()) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = item->Handle();
      }
    }
    InsertMenuItemW(FHandle.Get(), position++, TRUE, &info);
  }
}

HMENU TMenuItem::Handle() {
  if (!FHandle) {
    FHandle.Reset(CreatePopupMenu());
    FDirty = true;
  }
  if (FDirty) {
    FDirty = false;
    RebuildHandle();
  }
  return FHandle.Get();
}

TMenuItem* NewLine(TComponent* AOwner) {
  auto* item = new TMenuItem(AOwner);
  item->SetCaption(u"-");
  return item;
}

TMenuItem* NewItem(TComponent* AOwner, const String& Caption, TShortCut AShortCut, TNotifyEvent OnClick) {
  auto* item = new TMenuItem(AOwner);
  item->SetCaption(Caption);
  item->SetShortCut(AShortCut);
  item->OnClick = std::move(OnClick);
  return item;
}

TMenuItem* NewActionItem(TComponent* AOwner, TBasicAction* Action) {
  auto* item = new TMenuItem(AOwner);
  item->SetAction(Action);
  return item;
}

// ---------------------------------------------------------------- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TPopupMenuBase(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->SetImagesSource([this] { return FImages; });
}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::BeforeDestruction() {
  SetImages(nullptr);
  FItems.reset();
  TPopupMenuBase::BeforeDestruction();
}

void TPopupMenu::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
  if (FItems) FItems->SetImagesSource([this] { return FImages; });
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TPopupMenuBase::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TPopupMenu::DoPopup() {
  if (OnPopup) OnPopup(this);
}

void TPopupMenu::Popup(Integer X, Integer Y) {
  DoPopup();
  const UINT command = TrackMenu(FItems->Handle(), X, Y, MenuOwnerWindow(PopupComponent), TPM_LEFTALIGN);
  if (command) DispatchCommand(command);
}

bool TPopupMenu::DispatchCommand(UINT Command) {
  TMenuItem* item = FItems->Find(Command);
  if (!item) return false;
  item->Click();
  return true;
}

bool TPopupMenu::IsShortCut(Word Key, TShiftState Shift) {
  TMenuItem* item = FItems->FindShortCut(::ShortCut(Key, Shift));
  if (!item) return false;
  item->Click();
  return true;
}

// ---------------------------------------------------------------- TActionMainMenuBar

namespace {
constexpr Integer kTopItemPadding = 7;

// A top item without a caption of its own shows its first action's category.
String TopCaption(const TMenuItem* Item) {
  if (!Item->Caption().empty() || Item->Count() == 0) return Item->Caption();
  if (auto* action = dynamic_cast<TContainedAction*>(Item->Items(0)->Action())) return action->Category();
  return {};
}
}  // namespace

TActionMainMenuBar::TActionMainMenuBar(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FControlStyle.Exclude(csAcceptsControls);
  FControlStyle.Include(csOpaque);
  SetColor(clBtnFace);
  StoreBounds(0, 0, 150, 22);
  SetAlign(alTop);
  UpdateHeight();
  FItems->SetImagesSource(
      [this]() -> TCustomImageList* { return FActionManager ? FActionManager->Images() : nullptr; });
  if (auto* form = dynamic_cast<TCustomForm*>(AOwner)) {
    FShortCutForm = form;
    FShortCutId = form->AddShortCutHandler([this](Word Key, TShiftState Shift) { return IsShortCut(Key, Shift); });
  }
}

TActionMainMenuBar::~TActionMainMenuBar() = default;

void TActionMainMenuBar::BeforeDestruction() {
  if (FShortCutId && FShortCutForm) static_cast<TCustomForm*>(FShortCutForm)->RemoveShortCutHandler(FShortCutId);
  FShortCutId = 0;
  SetActionManager(nullptr);
  FItems.reset();
  TCustomControl::BeforeDestruction();
}

void TActionMainMenuBar::SetActionManager(TActionManager* Value) {
  if (Value == FActionManager) return;
  if (FActionManager) FActionManager->RemoveFreeNotification(this);
  FActionManager = Value;
  if (FActionManager) FActionManager->FreeNotification(this);
  if (FItems)
    FItems->SetImagesSource(
        [this]() -> TCustomImageList* { return FActionManager ? FActionManager->Images() : nullptr; });
  Invalidate();
}

void TActionMainMenuBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FActionManager) FActionManager = nullptr;
}

TMenuItem* TActionMainMenuBar::AddCategory(const String& Category) {
  auto* top = new TMenuItem(Owner());
  top->SetCaption(Category);
  if (FActionManager) {
    for (Integer i = 0; i < FActionManager->ActionCount(); ++i) {
      TContainedAction* action = FActionManager->Actions(i);
      if (action->Category() == Category) top->Add(NewActionItem(Owner(), action));
    }
  }
  FItems->Add(top);
  Invalidate();
  return top;
}

void TActionMainMenuBar::BuildFromCategories() {
  FItems->Clear();
  if (FActionManager)
    for (const String& category : FActionManager->Categories()) AddCategory(category);
  Invalidate();
}

std::vector<TMenuItem*> TActionMainMenuBar::TopItems() const {
  std::vector<TMenuItem*> result;
  if (!FItems) return result;
  for (Integer i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->Visible()) result.push_back(FItems->Items(i));
  return result;
}

String TActionMainMenuBar::TopItemCaption(Integer Index) const {
  const std::vector<TMenuItem*> items = TopItems();
  if (Index < 0 || Index >= static_cast<Integer>(items.size())) return {};
  return TopCaption(items[static_cast<std::size_t>(Index)]);
}

TRect TActionMainMenuBar::ItemRect(Integer Index) const {
  const std::vector<TMenuItem*> items = TopItems();
  if (Index < 0 || Index >= static_cast<Integer>(items.size())) return {};
  // Measured on a screen DC with the bar's font, so no window is needed.
  const TWindowDC screen(nullptr);
  const TSelectGuard font(screen.Get(), Font()->Handle());
  Integer x = 0;
  TRect result;
  for (Integer i = 0; i <= Index; ++i) {
    const String text = TopCaption(items[static_cast<std::size_t>(i)]);
    RECT r{0, 0, 0, 0};
    DrawTextW(screen.Get(), WideCStr(text), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    const Integer w = (r.right - r.left) + 2 * kTopItemPadding;
    if (i == Index) result = Rect(x, 0, x + w, ClientHeight());
    x += w;
  }
  return result;
}

Integer TActionMainMenuBar::ItemAtPos(Integer X) const {
  const Integer n = static_cast<Integer>(TopItems().size());
  for (Integer i = 0; i < n; ++i) {
    const TRect r = ItemRect(i);
    if (X >= r.Left && X < r.Right) return i;
  }
  return -1;
}

void TActionMainMenuBar::UpdateHeight() {
  TEXTMETRICW tm{};
  {
    const TWindowDC screen(nullptr);
    const TSelectGuard font(screen.Get(), Font()->Handle());
    GetTextMetricsW(screen.Get(), &tm);
  }
  SetHeight(tm.tmHeight + 8);
}

void TActionMainMenuBar::FontChanged() {
  TCustomControl::FontChanged();
  UpdateHeight();
}

void TActionMainMenuBar::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  const std::vector<TMenuItem*> items = TopItems();
  for (Integer i = 0; i < static_cast<Integer>(items.size()); ++i) {
    TRect r = ItemRect(i);
    if (i == FDroppedIndex) {
      c->Brush()->SetColor(clHighlight);
      c->FillRect(r);
      c->Font()->SetColor(clHighlightText);
    } else {
      c->Font()->SetColor(items[static_cast<std::size_t>(i)]->Enabled() ? clMenuText : clGrayText);
    }
    c->Brush()->SetStyle(bsClear);
    c->TextRect(r, TopCaption(items[static_cast<std::size_t>(i)]), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    c->Brush()->SetStyle(bsSolid);
  }
}

void TActionMainMenuBar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const Integer index = ItemAtPos(X);
  if (index < 0) return;
  SetCaptureControl(nullptr);  // the menu loop takes the mouse
  DropDown(index);
}

namespace {
// The bar whose drop-down the menu loop of this thread shows, the hook that
// watches that loop's keys, and where the hook keeps an exception until the
// loop has returned.
thread_local TActionMainMenuBar* gTrackingBar = nullptr;
thread_local HMENU gTrackingMenu = nullptr;
thread_local HHOOK gMenuHook = nullptr;
thread_local TCallbackGuard* gMenuHookGuard = nullptr;
}  // namespace

LRESULT CALLBACK TActionMainMenuBar::MenuKeyFilter(int Code, WPARAM WParam, LPARAM LParam) {
  const auto* msg = reinterpret_cast<const MSG*>(LParam);
  if (Code == MSGF_MENU && msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT) &&
      gTrackingBar && gTrackingMenu && gMenuHookGuard) {
    bool moved = false;
    const bool ok = gMenuHookGuard->Run([&] {
      // An item with a submenu keeps the keys for that submenu.
      bool sousMenu = false;
      const int n = GetMenuItemCount(gTrackingMenu);
      for (int i = 0; i < n; ++i)
        if ((GetMenuState(gTrackingMenu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) &&
            GetSubMenu(gTrackingMenu, i))
          sousMenu = true;
      const Integer count = static_cast<Integer>(gTrackingBar->TopItems().size());
      if (!sousMenu && count > 1) {
        const Integer step = msg->wParam == VK_RIGHT ? 1 : count - 1;
        gTrackingBar->FNextDrop = (gTrackingBar->FDroppedIndex + step) % count;
        moved = true;
      }
    });
    // A failure closes the menu: DropDown raises it once the loop is over.
    if (moved || !ok) {
      EndMenu();
      return 1;
    }
  }
  return CallNextHookEx(gMenuHook, Code, WParam, LParam);
}

void TActionMainMenuBar::DropDown(Integer Index, bool ByKey) {
  const std::vector<TMenuItem*> items = TopItems();
  if (Index < 0 || Index >= static_cast<Integer>(items.size())) return;
  TMenuItem* top = items[static_cast<std::size_t>(Index)];
  if (!top->Enabled() || top->Count() == 0) return;
  // Action states are fresh before the user sees them.
  if (FActionManager) FActionManager->UpdateActions();
  const TRect r = ItemRect(Index);
  const TPoint below = ClientToScreen({r.Left, r.Bottom});
  FDroppedIndex = Index;
  Repaint();
  UINT command = 0;
  FNextDrop = -1;
  TCallbackGuard hookGuard;
  {
    TActionMainMenuBar* const outerBar = gTrackingBar;
    const HMENU outerMenu = gTrackingMenu;
    TCallbackGuard* const outerGuard = gMenuHookGuard;
    // The outermost drop-down of the thread sets the hook; it goes before
    // the next drop-down or the command runs.
    THookHandle hook;
    if (!gMenuHook) {
      hook.Reset(SetWindowsHookExW(WH_MSGFILTER, &MenuKeyFilter, nullptr, GetCurrentThreadId()));
      gMenuHook = hook.Get();
    }
    gTrackingBar = this;
    gTrackingMenu = top->Handle();
    gMenuHookGuard = &hookGuard;
    const TScopeExit restore([&] {
      gTrackingBar = outerBar;
      gTrackingMenu = outerMenu;
      gMenuHookGuard = outerGuard;
      if (hook) gMenuHook = nullptr;
      FDroppedIndex = -1;
      Invalidate();
    });
    TCustomForm* form = GetParentForm(this);
    const HWND owner = form && form->HandleAllocated() ? form->Handle() : nullptr;
    // The menu loop reads it as its first key: the first item selected.
    if (ByKey) PostMessageW(owner ? owner : FHandle, WM_KEYDOWN, VK_DOWN, 0);
    command = TrackMenu(top->Handle(), below.X, below.Y, owner, TPM_LEFTALIGN | TPM_TOPALIGN);
  }
  hookGuard.RaiseIfAny();
  if (command) {
    DispatchCommand(command);
  } else if (FNextDrop >= 0) {
    // Disabled or empty top items are passed over in the same direction.
    const Integer count = static_cast<Integer>(items.size());
    const Integer step = (FNextDrop - Index + count) % count;
    Integer next = FNextDrop;
    FNextDrop = -1;
    for (Integer tries = 0; tries < count && next != Index; ++tries) {
      TMenuItem* item = items[static_cast<std::size_t>(next)];
      if (item->Enabled() && item->Count() > 0) {
        DropDown(next, true);
        return;
      }
      next = (next + step) % count;
    }
  }
}

bool TActionMainMenuBar::DispatchCommand(UINT Command) {
  TMenuItem* item = FItems ? FItems->Find(Command) : nullptr;
  if (!item) return false;
  item->Click();
  return true;
}

bool TActionMainMenuBar::IsShortCut(Word Key, TShiftState Shift) {
  if (!FItems || !IsShowing() || !Enabled()) return false;
  if (Shift == ssAlt) {
    const std::vector<TMenuItem*> items = TopItems();
    for (Integer i = 0; i < static_cast<Integer>(items.size()); ++i)
      if (GetHotkey(TopCaption(items[static_cast<std::size_t>(i)])) == static_cast<Char>(Key)) {
        DropDown(i, true);
        return true;
      }
  }
  TMenuItem* item = FItems->FindShortCut(::ShortCut(Key, Shift));
  if (!item) return false;
  item->Click();
  return true;
}

void TActionMainMenuBar::WndProc(TMessage& Message) {
  // Menu commands sent to the bar (lParam 0: not from a control).
  if (Message.Msg == WM_COMMAND && Message.LParam == 0 && HIWORD(Message.WParam) == 0) {
    if (DispatchCommand(LOWORD(Message.WParam))) {
      Message.Result = 0;
      return;
    }
  }
  TCustomControl::WndProc(Message);
}
