#pragma once
// A floating tool strip: a non-focusable popup whose content is a tool bar.
// It is shown next to the mouse and never takes the keyboard focus from the
// window the user works in; its owner activates and deactivates it. The
// user can drag it by the tool bar's grip, and extra buttons can be
// described by a collection.
#include <functional>
#include <memory>

#include "chart/widgets/win/VivIzudePopup.h"
#include "chart/widgets/win/VivIzudeToolBar.h"
#include "vcl/Classes.h"
#include "vcl/Pictures.h"

class TVivIzudeCustomToolBarPopup;
class TVivCToolBarPopupButtons;

class TVivCToolBarPopupButton : public TCollectionItem {
public:
  explicit TVivCToolBarPopupButton(TCollection* Collection);
  ~TVivCToolBarPopupButton() override;
  void Assign(TPersistent* Source) override;

  TVivIzudeCustomToolBarPopup* Owner() const { return FOwner; }
  // The tool-bar button this item made; it belongs to the tool bar.
  TVivIzudeToolBarButton* Button() const { return FButton; }
  const String& Text() const { return FText; }
  void SetText(const String& Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool LastElement() const { return FLastElement; }
  void SetLastElement(bool Value);
  // -1: not set (and not stored).
  float Left() const { return FLeft; }
  void SetLeft(float Value);
  float Top() const { return FTop; }
  void SetTop(float Value);
  float Width() const { return FWidth; }
  void SetWidth(float Value);
  float Height() const { return FHeight; }
  void SetHeight(float Value);
  bool IsLeftStored() const { return FLeft != -1; }
  bool IsTopStored() const { return FTop != -1; }
  bool IsWidthStored() const { return FWidth != -1; }
  bool IsHeightStored() const { return FHeight != -1; }
  TPicture* Bitmap() const { return FBitmap.get(); }
  void SetBitmap(TPicture* Value);
  Integer Tag() const { return FTag; }
  void SetTag(Integer Value) { FTag = Value; }

  // Free slots for the user.
  bool DataBoolean = false;
  String DataString;
  TObject* DataObject = nullptr;  // not owned
  NativeInt DataInteger = 0;
  void* DataPointer = nullptr;

private:
  void PopupButtonBitmapChanged();
  void UpdateOwner();

  TVivIzudeCustomToolBarPopup* FOwner;        // not owned
  TVivIzudeToolBarButton* FButton = nullptr;  // owned by the tool bar
  String FText;
  Integer FTag = 0;
  float FWidth = -1, FHeight = -1;
  bool FEnabled = true, FVisible = true;
  float FTop = -1, FLeft = -1;
  bool FLastElement = false;
  std::unique_ptr<TPicture> FBitmap;
};

class TVivCToolBarPopupButtons : public TCollection {
public:
  explicit TVivCToolBarPopupButtons(TVivIzudeCustomToolBarPopup* AOwner);
  TVivIzudeCustomToolBarPopup* Owner() const { return FOwner; }
  TVivCToolBarPopupButton* Add() { return static_cast<TVivCToolBarPopupButton*>(TCollection::Add()); }
  TVivCToolBarPopupButton* Insert(Integer Index) {
    return static_cast<TVivCToolBarPopupButton*>(TCollection::Insert(Index));
  }
  TVivCToolBarPopupButton* Items(Integer Index) const {
    return static_cast<TVivCToolBarPopupButton*>(TCollection::Items(Index));
  }
  void SetItems(Integer Index, TVivCToolBarPopupButton* Value) { Items(Index)->Assign(Value); }

private:
  TVivIzudeCustomToolBarPopup* FOwner;  // not owned
};

using TVivCToolBarPopupButtonClickEvent = std::function<void(TObject* Sender, TVivCToolBarPopupButton* AButton)>;

class TVivIzudeCustomToolBarPopup : public TVivIzudeCustomNonFocusablePopup {
public:
  explicit TVivIzudeCustomToolBarPopup(TComponent* AOwner);
  ~TVivIzudeCustomToolBarPopup() override;
  void Assign(TPersistent* Source) override;
  String GetVersion() const override { return u"1.0.0.0"; }

  TVivIzudeToolBar* ToolBar() const { return FToolBar; }
  TVivCToolBarPopupButtons* Buttons() const { return FButtons.get(); }
  void SetButtons(TVivCToolBarPopupButtons* Value) { FButtons->Assign(Value); }
  bool AutoAlign() const;
  void SetAutoAlign(bool Value);
  bool DragGrip() const;
  void SetDragGrip(bool Value);
  void SetAdaptToStyle(bool Value) override;

  // Whether a popup form exists.
  bool Activated() const { return PopupForm() != nullptr; }
  virtual TVivCToolBarPopupButton* FindPopupButton(TVivIzudeToolBarButton* AButton) const;
  virtual void UpdatePopupSize();
  virtual void UpdateToolBarStyle();
  virtual void Activate();
  virtual void Deactivate();
  virtual bool DropDownActive() const;
  // The handler of the tool bar's drag grip: moves the form against the
  // reported deltas.
  virtual void ToolBarDragGripMoving(TObject* Sender, double DeltaX, double DeltaY);

  TVivCToolBarPopupButtonClickEvent OnButtonClick;
  TNotifyEvent OnActivate, OnDeactivate;

  // For the popup buttons.
  void PopupButtonClick(TObject* Sender);

protected:
  // A descendant's constructor calls SetUpToolBar itself, after its own
  // fields exist, so that its CreateToolBar is the one that runs.
  TVivIzudeCustomToolBarPopup(TComponent* AOwner, bool ADeferToolBar);
  void SetUpToolBar();
  virtual TVivIzudeToolBar* CreateToolBar();
  void DoClosePopup() override;
  void ToolBarClick(TObject* Sender);

private:
  bool FActivate = false;
  TVivIzudeToolBar* FToolBar = nullptr;  // owned: component owner is this popup
  std::unique_ptr<TVivCToolBarPopupButtons> FButtons;
};

// Registers the popup button and its collection with the settings registry
// (once). Loading a collection frees the tool-bar buttons of the items it
// replaces and makes each new item's button as adding it in code does.
void RegisterVivCToolBarPopupClasses();
