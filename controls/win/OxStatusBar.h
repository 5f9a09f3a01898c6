#pragma once
// The status bar that hosts controls: child controls may sit on it, each
// panel may carry one control that follows the panel, and an automatic
// hint takes over the whole bar while the child controls are hidden.
#include <vector>

#include "controls/win/OxExComCtrls.h"
#include "vcl/ActnList.h"

class TOxStatusBar;

class TOxStatusPanel : public TStatusPanel {
public:
  explicit TOxStatusPanel(TCollection* Collection);
  ~TOxStatusPanel() override;

  // The control kept at (panel's left + MarginLeft, MarginTop); its parent
  // becomes the bar and its height the bar's client height - 4. The bar
  // itself is refused (EOXCLException "Invalid control selection").
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  Integer MarginLeft() const { return FMarginLeft; }
  void SetMarginLeft(Integer Value);
  Integer MarginTop() const { return FMarginTop; }
  void SetMarginTop(Integer Value);
  TOxStatusBar* StatusBar() const;

private:
  friend class TOxStatusBar;
  TControl* FControl = nullptr;  // not owned; the bar hears of its removal
  Integer FMarginLeft = 3;
  Integer FMarginTop = 3;
};

inline constexpr const char16_t* InvalidControlSelectionText = u"Invalid control selection";

class TOxStatusBar : public TOxExStatusBar {
public:
  explicit TOxStatusBar(TComponent* AOwner);

  TOxStatusPanel* Panel(Integer Index) const { return static_cast<TOxStatusPanel*>(Panels()->Items(Index)); }
  TOxStatusPanel* AddPanel() { return static_cast<TOxStatusPanel*>(Panels()->Add()); }

  // The hint colour of the bar's own hints.
  TColor BarHintColor() const { return HintColor(); }

  // Shows a hint action's text over the whole bar while AutoHint is on and
  // OnHint does not take it; an empty hint, or any other action, gives the
  // panels and the hidden controls back.
  bool AutoHint() const { return FAutoHint; }
  void SetAutoHint(bool Value) { FAutoHint = Value; }
  TNotifyEvent OnHint;
  virtual bool ExecuteAction(TBasicAction* Action);
  bool AutoHintShown() const { return FAutoHintShown; }

  // Puts every panel's control at its place.
  void LayoutPanelControls();

protected:
  void WndProc(TMessage& Message) override;
  void NotifyBoundsChanged() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;
  void UpdatePanels() override;
  void UpdatePanel(Integer Index) override;
  // OnHint when assigned; answers whether it took the hint.
  virtual bool DoHint();

private:
  friend class TOxStatusPanel;
  void KeepNotified(TControl* Control);
  void ShowAutoHint();
  void HideAutoHint();

  bool FAutoHint = false;
  bool FAutoHintShown = false;
  std::vector<TControl*> FHiddenControls;  // not owned
};
