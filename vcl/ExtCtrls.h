#pragma once
// Timers, panels and splitters.
#include <functional>
#include <memory>

#include "vcl/Controls.h"
#include "vcl/Messages.h"
#include "vcl/Pictures.h"

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
  // Space between the outer and the inner bevel, painted in Color. The
  // border and both bevels are kept clear of aligned children.
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer Value);

protected:
  void Paint() override;
  void AdjustClientRect(TRect& Rect) const override;

private:
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  Integer FBevelWidth = 1;
  TAlignment FAlignment = taCenter;
  bool FShowCaption = true;
  Integer FBorderWidth = 0;
};

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
// NewSize may be changed; Accept false keeps the current size.
using TCanResizeEvent = std::function<void(TObject* Sender, Integer& NewSize, bool& Accept)>;

// Drag it to resize the control aligned on the same side just before it.
// Every style resizes as the mouse moves (the control follows live).
class TSplitter : public TGraphicControl {
public:
  explicit TSplitter(TComponent* AOwner);
  Integer MinSize() const { return FMinSize; }
  void SetMinSize(Integer Value) { FMinSize = Value > 0 ? Value : 1; }
  TResizeStyle ResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
  // The control the splitter resizes now (nullptr when none is next to it).
  TControl* FindResizedControl() const;
  TNotifyEvent OnMoved;
  TCanResizeEvent OnCanResize;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

private:
  bool Horizontal() const { return Align() == alLeft || Align() == alRight; }
  Integer FMinSize = 30;
  TResizeStyle FResizeStyle = rsPattern;
  TControl* FControl = nullptr;  // not owned; set while dragging
  Integer FDownPos = 0;
  Integer FStartSize = 0;
  Integer FMaxSize = 0;
};

// Shows a picture: at its own size in the top-left corner, centred, or
// stretched (keeping its proportions when Proportional).
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  // Shrinks or grows to fit (while Stretch), keeping the aspect ratio.
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // The bounds follow the picture's size.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  // Where the picture is drawn, in client coordinates.
  TRect DestRect() const;

protected:
  void Paint() override;

private:
  void PictureChanged();
  std::unique_ptr<TPicture> FPicture;
  bool FCenter = false;
  bool FStretch = false;
  bool FProportional = false;
  bool FTransparent = false;
  bool FAutoSize = false;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
  explicit TShape(TComponent* AOwner);
  ~TShape() override;
  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType Value);
  TPen* Pen() const { return FPen.get(); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

protected:
  void Paint() override;

private:
  TShapeType FShape = stRectangle;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
};
