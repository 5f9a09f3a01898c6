#pragma once
// Menus: shortcut texts, menu items (a tree of components that an action can
// drive), the popup menu, and the menu bar that the action manager's
// categories head. Native Win32 menus show the items; each item owns the
// HMENU of its own sub-items and rebuilds it after a change, the next time
// the menu is shown.
#include <functional>
#include <memory>
#include <vector>

#include "rtl/Types.h"
#include "vcl/ActnList.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"
#include "rtl/Win32.h"

// ---------------------------------------------------------------- shortcuts

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut AShortCut, Word& Key, TShiftState& Shift);
// "Shift+Ctrl+Alt+" in that order, then the key's name ("A", "F5", "Del",
// "PgUp", "Enter"...); "" for 0 or an unnamed key.
String ShortCutToText(TShortCut AShortCut);
// The reverse, ignoring case and blanks around '+'; 0 when not understood.
TShortCut TextToShortCut(const String& Text);
// The letter after the first single '&' of a caption, upper case; 0 if none.
Char GetHotkey(const String& Caption);
// Caption without its '&' markers ("&&" stays one '&').
String StripHotkey(const String& Caption);

// ---------------------------------------------------------------- items

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  // An item whose caption is "-" is a separator line.
  bool IsLine() const { return FCaption == u"-"; }
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  bool Checked() const { return FChecked; }
  // Checking a RadioItem unchecks the RadioItems of the same GroupIndex
  // among its siblings.
  void SetChecked(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  Byte GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Byte Value) { FGroupIndex = Value; }
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  // Index into the menu's image list (-1: none); else Bitmap when not empty.
  TImageIndex ImageIndex() const { return FImageIndex; }
  void SetImageIndex(TImageIndex Value);
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);

  // Linking an action takes its caption, hint, states, image and shortcut,
  // and keeps following them.
  TBasicAction* Action() const { return FActionLink.Action(); }
  void SetAction(TBasicAction* Value);

  // Sub-items, which this item shows and frees when it is freed.
  TMenuItem* Parent() const { return FParent; }
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  TMenuItem* Items(Integer Index) const;
  void Add(TMenuItem* Item) { Insert(Count(), Item); }
  void Insert(Integer Index, TMenuItem* Item);
  // Takes the item out without freeing it.
  void Delete(Integer Index);
  void Remove(TMenuItem* Item);
  // Frees every sub-item.
  void Clear();
  Integer IndexOf(const TMenuItem* Item) const;
  Integer MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

  // The identifier of this item in WM_COMMAND and TrackPopupMenu answers.
  UINT Command() const { return FCommand; }
  // The sub-item (at any depth) with this command, or nullptr.
  TMenuItem* Find(UINT ACommand);
  // The first enabled, visible sub-item (any depth) with this shortcut.
  TMenuItem* FindShortCut(TShortCut AShortCut);
  // The popup HMENU of the sub-items, brought up to date.
  HMENU Handle();

  // An enabled item toggles Checked when AutoCheck, then runs OnClick, or
  // its action when it has no OnClick.
  virtual void Click();
  TNotifyEvent OnClick;

  // The image list of the menu this item is in: the menu that holds the
  // root item tells it where to look (pictures are copied when the menu is
  // rebuilt, so a list that goes away leaves nothing dangling).
  TCustomImageList* GetImageList() const;
  void SetImagesSource(std::function<TCustomImageList*()> Source);

protected:
  void BeforeDestruction() override;
  // The item's look changed: the menu holding it is rebuilt before next use.
  void MenuChanged();

private:
  void ActionChanged();
  void RebuildHandle();
  HBITMAP MenuBitmap();

  String FCaption;
  String FHint;
  bool FChecked = false;
  bool FRadioItem = false;
  Byte FGroupIndex = 0;
  bool FAutoCheck = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  TShortCut FShortCut = 0;
  TImageIndex FImageIndex = -1;
  std::unique_ptr<TBitmap> FBitmap;
  TActionLink FActionLink;
  TMenuItem* FParent = nullptr;    // not owned
  std::vector<TMenuItem*> FItems;  // freed with this item
  UINT FCommand = 0;
  TMenuHandle FHandle;
  bool FDirty = true;
  TGdiObject FMenuBitmap;                            // the picture shown in the menu
  std::function<TCustomImageList*()> FImagesSource;  // on a root item
};

// A separator line item.
TMenuItem* NewLine(TComponent* AOwner);
TMenuItem* NewItem(TComponent* AOwner, const String& Caption, TShortCut AShortCut = 0, TNotifyEvent OnClick = nullptr);
// An item driven by Action.
TMenuItem* NewActionItem(TComponent* AOwner, TBasicAction* Action);

// ---------------------------------------------------------------- popup menu

class TPopupMenu : public TPopupMenuBase {
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // The root item; its sub-items are the menu.
  TMenuItem* Items() const { return FItems.get(); }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }

  // Fires OnPopup, then shows the menu at screen X, Y and waits; the chosen
  // item is clicked after the menu has closed.
  void Popup(Integer X, Integer Y) override;
  // Clicks the item with this command; true when there was one.
  bool DispatchCommand(UINT Command);
  bool IsShortCut(Word Key, TShiftState Shift);
  HMENU Handle() { return FItems->Handle(); }

  TNotifyEvent OnPopup;

protected:
  virtual void DoPopup();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;

private:
  std::unique_ptr<TMenuItem> FItems;
  TCustomImageList* FImages = nullptr;  // not owned; free notification
  bool FAutoPopup = true;
};

// The action bars' popup menu is the popup menu.
class TPopupActionBar : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
};

// ---------------------------------------------------------------- menu bar

// A menu bar control along the top of its form. Its top items head the
// drop-down menus; their sub-items are usually driven by the actions of
// ActionManager, whose image list they show. A top item added without a
// caption takes the category of its first sub-item's action. Owned by a
// form, the bar answers Alt + a top item's hot key and its items' shortcuts.
class TActionMainMenuBar : public TCustomControl {
public:
  explicit TActionMainMenuBar(TComponent* AOwner);
  ~TActionMainMenuBar() override;

  TMenuItem* Items() const { return FItems.get(); }
  TActionManager* ActionManager() const { return FActionManager; }
  void SetActionManager(TActionManager* Value);
  // Adds a top item headed by Category with one item per action of that
  // category, in list order; answers the top item.
  TMenuItem* AddCategory(const String& Category);
  // Rebuilds the top items: one per category of the action manager.
  void BuildFromCategories();

  // The text top item Index shows: its caption, or its first action's category.
  String TopItemCaption(Integer Index) const;
  // The top item under X (client coordinates), or -1.
  Integer ItemAtPos(Integer X) const;
  TRect ItemRect(Integer Index) const;
  // Shows top item Index's drop-down below it and waits; the chosen item is
  // clicked after the menu has closed.
  // From the keyboard (ByKey), the first item is selected at once. While a
  // drop-down shows, Left and Right move to the neighbouring top item.
  void DropDown(Integer Index, bool ByKey = false);
  bool DispatchCommand(UINT Command);
  bool IsShortCut(Word Key, TShiftState Shift);
  // The top item whose drop-down is showing, or -1.
  Integer DroppedIndex() const { return FDroppedIndex; }

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;
  void FontChanged() override;

private:
  std::vector<TMenuItem*> TopItems() const;
  void UpdateHeight();
  std::unique_ptr<TMenuItem> FItems;
  TActionManager* FActionManager = nullptr;  // not owned; free notification
  Integer FDroppedIndex = -1;
  // The top item Left or Right asked for while a drop-down showed, or -1.
  Integer FNextDrop = -1;
  static LRESULT CALLBACK MenuKeyFilter(int Code, WPARAM WParam, LPARAM LParam);
  int FShortCutId = 0;
  TComponent* FShortCutForm = nullptr;  // not owned
};
