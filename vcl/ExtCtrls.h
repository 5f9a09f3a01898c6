#pragma once
// Timers, panels and splitters.
#include <memory>

#include "vcl/Controls.h"
#include "vcl/Messages.h"

// Fires OnTimer every Interval milliseconds while Enabled, on the thread
// that made it (which must run a message loop).
class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  TNotifyEvent OnTimer;

protected:
  virtual void Timer();

private:
  void UpdateTimer();
  bool FEnabled = true;
  Cardinal FInterval = 1000;
  std::unique_ptr<TUtilityWindow> FWindow;
};

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* AOwner);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  Integer BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(Integer Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);

protected:
  void Paint() override;

private:
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  Integer FBevelWidth = 1;
  TAlignment FAlignment = taCenter;
  bool FShowCaption = true;
};

// Drag it to resize the control aligned on the same side just before it.
class TSplitter : public TGraphicControl {
public:
  explicit TSplitter(TComponent* AOwner);
  Integer MinSize() const { return FMinSize; }
  void SetMinSize(Integer Value) { FMinSize = Value > 0 ? Value : 1; }
  // The control the splitter resizes now (nullptr when none is next to it).
  TControl* FindResizedControl() const;
  TNotifyEvent OnMoved;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

private:
  bool Horizontal() const { return Align() == alLeft || Align() == alRight; }
  Integer FMinSize = 30;
  TControl* FControl = nullptr;  // not owned; set while dragging
  Integer FDownPos = 0;
  Integer FStartSize = 0;
  Integer FMaxSize = 0;
};
