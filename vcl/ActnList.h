#pragma once
// Actions: commands with a caption, an image, a shortcut and enabled/checked
// states that menu items and buttons show and run. An action list owns no
// actions (the form does) but groups them, runs their updates when the
// application is idle and answers their shortcuts for its form.
#include <functional>
#include <vector>

#include "rtl/Types.h"
#include "vcl/Classes.h"

class TBasicAction;
class TCustomActionList;
class TCustomImageList;

// A key with modifiers: the virtual-key code in the low byte.
using TShortCut = Word;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

using TImageIndex = Integer;

// The client side of an action: a menu item or a control holds one as a
// member and hears through Changed whenever the action's properties change
// (and once more, with Action() nullptr, when the action goes away).
class TActionLink {
public:
  explicit TActionLink(std::function<void()> Changed) : FChanged(std::move(Changed)) {}
  ~TActionLink();
  TActionLink(const TActionLink&) = delete;
  TActionLink& operator=(const TActionLink&) = delete;

  TBasicAction* Action() const { return FAction; }
  // Links to Value (nullptr: none) and reports the change.
  void SetAction(TBasicAction* Value);
  // Runs the action for Target (its ActionComponent while it runs).
  bool Execute(TComponent* Target);

private:
  friend class TBasicAction;
  void ActionChanged() {
    if (FChanged) FChanged();
  }
  TBasicAction* FAction = nullptr;  // not owned
  std::function<void()> FChanged;
};

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

class TBasicAction : public TComponent {
public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;

  // Runs OnExecute (after the list's OnExecute, which may handle it first);
  // true when someone handled it.
  virtual bool Execute();
  // Runs the list's OnUpdate, then OnUpdate; true when someone handled it.
  virtual bool Update();
  // The component that started the running Execute (a menu item, a button).
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value) { FActionComponent = Value; }
  Integer ClientCount() const { return static_cast<Integer>(FClients.size()); }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

protected:
  // Tells every client link that a property changed.
  void Change();
  void BeforeDestruction() override;

private:
  friend class TActionLink;
  std::vector<TActionLink*> FClients;  // not owned
  TComponent* FActionComponent = nullptr;
};

class TContainedAction : public TBasicAction {
public:
  using TBasicAction::TBasicAction;
  TCustomActionList* ActionList() const { return FActionList; }
  // Moves the action into Value's list (nullptr: out of any list).
  void SetActionList(TCustomActionList* Value);
  const String& Category() const { return FCategory; }
  void SetCategory(const String& Value);
  Integer Index() const;
  bool Execute() override;
  bool Update() override;

protected:
  void BeforeDestruction() override;

private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;  // not owned
  String FCategory;
};

class TCustomAction : public TContainedAction {
public:
  using TContainedAction::TContainedAction;
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Checking an action of a non-zero GroupIndex unchecks the others of its
  // list in that group.
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  Integer GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer Value);
  TImageIndex ImageIndex() const { return FImageIndex; }
  void SetImageIndex(TImageIndex Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  // An enabled action runs (toggling Checked first when AutoCheck);
  // a disabled one does nothing and answers false.
  bool Execute() override;

private:
  String FCaption;
  String FHint;
  bool FEnabled = true;
  bool FChecked = false;
  bool FVisible = true;
  bool FAutoCheck = false;
  Integer FGroupIndex = 0;
  TImageIndex FImageIndex = -1;
  TShortCut FShortCut = 0;
};

class TAction : public TCustomAction {
public:
  using TCustomAction::TCustomAction;
};

// Carries a hint to the control that shows it (a status bar with automatic
// hints); Hint is the text.
class THintAction : public TCustomAction {
public:
  using TCustomAction::TCustomAction;
};

enum TActionListState { asNormal, asSuspended, asSuspendedEnabled };

// Groups actions. While the application object exists the list updates its
// actions at every idle moment; owned by a form, it answers the shortcuts
// of its enabled, visible actions for that form.
class TCustomActionList : public TComponent {
public:
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;

  Integer ActionCount() const { return static_cast<Integer>(FActions.size()); }
  TContainedAction* Actions(Integer Index) const { return FActions.at(static_cast<std::size_t>(Index)); }
  void AddAction(TContainedAction* Action) { Action->SetActionList(this); }
  void RemoveAction(TContainedAction* Action);
  // The categories of the actions, in order of first appearance; actions
  // without one are left out.
  std::vector<String> Categories() const;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TActionListState State() const { return FState; }
  void SetState(TActionListState Value);

  // The list's OnUpdate, then every action's Update: what the idle handler runs.
  void UpdateActions();
  // Runs the enabled, visible action whose shortcut is Key+Shift.
  bool IsShortCut(Word Key, TShiftState Shift);

  // Fired for each action before its own handler; Handled stops it there.
  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

protected:
  friend class TContainedAction;
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;
  void Changed();

private:
  std::vector<TContainedAction*> FActions;  // not owned
  TCustomImageList* FImages = nullptr;      // not owned; free notification
  TActionListState FState = asNormal;
  int FIdleId = 0;
  int FShortCutId = 0;
  TComponent* FShortCutForm = nullptr;  // not owned
};

class TActionList : public TCustomActionList {
public:
  using TCustomActionList::TCustomActionList;
};

// The action manager of the action bars: the same list; the menu bar reads
// its actions and categories.
class TActionManager : public TCustomActionList {
public:
  using TCustomActionList::TCustomActionList;
};
