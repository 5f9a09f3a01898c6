#pragma once
// The control base: TControl (bounds, alignment, visibility, colour, font,
// hints, mouse), TWinControl (a window of its own: creation through
// CreateParams/CreateWnd, message dispatch, reflection of WM_COMMAND/
// WM_NOTIFY/WM_CTLCOLOR* to the child that sent them, focus, keys, painting
// of windowless children), TCustomControl (a canvas and Paint) and
// TGraphicControl (windowless, painted and hit-tested by its parent).
//
// Messages reach a control through WndProc(TMessage&): a descendant
// overrides it, handles the message numbers it cares about and passes the
// rest to the base. Typed hooks (MouseDown, KeyDown, FontChanged...) are
// protected virtuals; each fires its event when assigned.
#include <functional>
#include <memory>
#include <vector>

#include "vcl/AlignLayout.h"
#include "vcl/Classes.h"
#include "vcl/Drag.h"
#include "vcl/Graphics.h"
#include "vcl/Messages.h"
#include "rtl/Win32.h"

class TControl;
class TWinControl;
class TCustomForm;

// ---------------------------------------------------------------- cursors
using TCursor = Integer;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
inline constexpr TCursor crSize = crSizeAll;

// ---------------------------------------------------------------- events
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, Integer X, Integer Y)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, Char& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// Makes the window a hint shows in (owned by Owner); empty: the
// application's own.
using THintWindowClass = std::function<class THintWindow*(TComponent* Owner)>;

struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint CursorPos;  // client coordinates of HintControl
  TRect CursorRect;  // moving out of it hides the hint
  TPoint HintPos;    // screen coordinates of the hint window
  Integer HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  Integer HideTimeout = 0;
  Integer ReshowTimeout = 0;
  String HintStr;
  // A control that draws its own hints names its window here (nil: the
  // application's own) and hands the window its data.
  THintWindowClass HintWindowClass;
  const void* HintData = nullptr;
};

// ---------------------------------------------------------------- style and state
enum TControlStyleItem : unsigned {
  csAcceptsControls,
  csCaptureMouse,
  csClickEvents,
  csOpaque,
  csDoubleClicks,
  csSetCaption,
  csParentBackground,
};
using TControlStyle = TSet<TControlStyleItem, Word>;

// The parts of a control a custom style may paint.
enum TStyleElement : unsigned { seFont, seClient, seBorder };
using TStyleElements = TSet<TStyleElement, Byte>;

enum TControlStateItem : unsigned { csLButtonDown, csClicked, csFocusing, csCreating, csAlignmentNeeded };
using TControlState = TSet<TControlStateItem, Word>;

// ---------------------------------------------------------------- helpers

// Margins around an aligned control (AlignWithMargins); 3 pixels by default.
class TMargins : public TPersistent {
public:
  explicit TMargins(Integer Default = 3) : FLeft(Default), FTop(Default), FRight(Default), FBottom(Default) {}
  void Assign(TPersistent* Source) override;
  Integer Left() const { return FLeft; }
  Integer Top() const { return FTop; }
  Integer Right() const { return FRight; }
  Integer Bottom() const { return FBottom; }
  void SetLeft(Integer V) { SetBounds(V, FTop, FRight, FBottom); }
  void SetTop(Integer V) { SetBounds(FLeft, V, FRight, FBottom); }
  void SetRight(Integer V) { SetBounds(FLeft, FTop, V, FBottom); }
  void SetBottom(Integer V) { SetBounds(FLeft, FTop, FRight, V); }
  void SetBounds(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom);
  TRect AsRect() const { return {FLeft, FTop, FRight, FBottom}; }
  TNotifyEvent OnChange;

private:
  Integer FLeft, FTop, FRight, FBottom;
};

// Size limits of a control; 0 means none.
class TSizeConstraints : public TPersistent {
public:
  void Assign(TPersistent* Source) override;
  Integer MinWidth() const { return FMinWidth; }
  Integer MinHeight() const { return FMinHeight; }
  Integer MaxWidth() const { return FMaxWidth; }
  Integer MaxHeight() const { return FMaxHeight; }
  void SetMinWidth(Integer V);
  void SetMinHeight(Integer V);
  void SetMaxWidth(Integer V);
  void SetMaxHeight(Integer V);
  TNotifyEvent OnChange;

private:
  void Changed();
  Integer FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

// What a control needs of its popup menu; the menus unit derives TPopupMenu
// from it.
class TPopupMenuBase : public TComponent {
public:
  using TComponent::TComponent;
  // Shows the menu at screen coordinates X, Y.
  virtual void Popup(Integer X, Integer Y) = 0;
  TComponent* PopupComponent = nullptr;  // not owned: the control it was shown for
};

// ---------------------------------------------------------------- TControl

class TControl : public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);

  Integer Left() const { return FLeft; }
  Integer Top() const { return FTop; }
  Integer Width() const { return FWidth; }
  Integer Height() const { return FHeight; }
  void SetLeft(Integer V) { SetBounds(V, FTop, FWidth, FHeight); }
  void SetTop(Integer V) { SetBounds(FLeft, V, FWidth, FHeight); }
  void SetWidth(Integer V) { SetBounds(FLeft, FTop, V, FHeight); }
  void SetHeight(Integer V) { SetBounds(FLeft, FTop, FWidth, V); }
  // Position in the parent's client area (screen position for a form).
  virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  virtual TRect ClientRect() const;
  Integer ClientWidth() const { return ClientRect().Width(); }
  Integer ClientHeight() const { return ClientRect().Height(); }
  void SetClientWidth(Integer V) { SetClientSize(V, ClientHeight()); }
  void SetClientHeight(Integer V) { SetClientSize(ClientWidth(), V); }
  virtual void SetClientSize(Integer AWidth, Integer AHeight);
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(const TPoint& P) const;
  TPoint ScreenToClient(const TPoint& P) const;
  TPoint ClientToParent(const TPoint& P, TWinControl* AParent = nullptr) const;

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  bool AlignWithMargins() const { return FAlignWithMargins; }
  void SetAlignWithMargins(bool Value);
  TMargins* Margins() const { return FMargins.get(); }
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() const { return FConstraints.get(); }

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all the parents.
  bool IsShowing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);

  String Text() const { return GetText(); }
  void SetText(const String& Value);
  String Caption() const { return GetText(); }
  void SetCaption(const String& Value) { SetText(Value); }

  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  TPopupMenuBase* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenuBase* Value);

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TStyleElements StyleElements() const { return FStyleElements; }
  void SetStyleElements(TStyleElements Value) { FStyleElements = Value; }
  TControlState ControlState() const { return FControlState; }

  virtual void Invalidate();
  // Paints now what is invalid.
  virtual void Update();
  void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // Starts dragging this control: at once, or once the pointer, with the
  // left button held, has moved more than Threshold pixels (-1: the
  // system's). The drag runs until the button comes up (a drop on a control
  // that accepts) or Escape is pressed; mouse input goes to the drag
  // meanwhile.
  virtual void BeginDrag(bool Immediate, Integer Threshold = -1);
  // Whether this control is the source of the drag now running or pending.
  virtual bool Dragging() const;
  // Ends the running drag: with Drop, dropped where the pointer is.
  static void EndDrag(bool Drop);

  // Sends a message straight to WndProc (no window needed) and answers Result.
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  virtual void WndProc(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // Multiplies bounds, margins, constraints and font by M/D (children too).
  virtual void ScaleBy(Integer M, Integer D);
  // Whether the control draws with a window of its own.
  virtual bool IsWindowed() const { return false; }

  virtual void Click();
  virtual void DblClick();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TContextPopupEvent OnContextPopup;

  // Hooks the library calls from outside the class (the application's hint
  // machinery, the parent's mouse tracking, the context menu).
  void NotifyMouseEnter() { MouseEnter(); }
  void NotifyMouseLeave() { MouseLeave(); }
  void NotifyHintShow(THintInfo& Info) { HintShow(Info); }
  // Pause: the milliseconds before the hint shows; HintActive tells whether
  // a hint is up already.
  void NotifyHintShowPause(bool HintActive, Integer& Pause) { HintShowPause(HintActive, Pause); }
  void NotifySysColorChange();
  bool ShowContextPopup(TPoint ClientPos, TPoint ScreenPos);

protected:
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Drag hooks. DoStartDrag may give an object of its own (owned by whoever
  // made it); DoEndDrag gets the control dropped on (nil: none) with the
  // source's client position; DragCanceled runs when the drag is given up
  // or never started.
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, Integer X, Integer Y);
  virtual void DragCanceled();
  // As a target (client coordinates): whether Source may drop here; the
  // drop itself. The base accepts nothing.
  virtual void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept);
  virtual void DragDrop(TObject* Source, Integer X, Integer Y);
  virtual void Resize();
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  // Change notifications: override to react, call the base to keep the
  // default (repaint, passing colour and font on to children).
  virtual void TextChanged();
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void EnabledChanged();
  virtual void VisibleChanged();
  virtual void ShowHintChanged() {}
  virtual void SysColorChange() {}
  virtual void HintShow(THintInfo&) {}
  virtual void HintShowPause(bool, Integer&) {}
  // A character typed with Alt, offered to every control of the form in
  // turn (mnemonics); answer true to take it.
  virtual bool DialogChar(Word, TShiftState) { return false; }
  // Whether the point (client coordinates) belongs to the control: a
  // windowless control that answers false lets the mouse reach what lies
  // under it.
  virtual bool HitTest(Integer, Integer) { return true; }
  // A control of the form has just gained the focus; every control of the
  // form hears it.
  virtual void FocusChanged(TWinControl*) {}
  // Cursor changed.
  virtual void CursorChanged() {}

public:
  // Whether the control has hints to show (its Hint by default; a control
  // whose hints depend on the point under the mouse answers for itself).
  virtual bool HasHint() const { return !Hint().empty(); }

protected:
  virtual void ParentColorChanged();
  virtual void ParentFontChanged();
  virtual void ParentShowHintChanged();

  virtual String GetText() const { return FText; }
  virtual void SetTextValue(const String& Value) { FText = Value; }
  // Asks the parent to realign its children because this one changed.
  void RequestAlign();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;
  void SetControlState(TControlState Value) { FControlState = Value; }
  // Stores the bounds without moving a window (the window reports them).
  void StoreBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
  void ConstrainSize(Integer& AWidth, Integer& AHeight) const;
  void InvalidateRectOfParent(const TRect& R);

  Integer FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csSetCaption};
  bool FVisible = true;

private:
  friend class TWinControl;
  void HandleMouseMessage(TMessage& Message);
  void HandleDragMessage(TMessage& Message);

  TWinControl* FParent = nullptr;  // not owned
  TAlign FAlign = alNone;
  bool FAlignWithMargins = false;
  std::unique_ptr<TMargins> FMargins;
  TAnchors FAnchors{akLeft, akTop};
  std::unique_ptr<TSizeConstraints> FConstraints;
  bool FEnabled = true;
  TColor FColor = clBtnFace;
  bool FParentColor = false;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  bool FFontFromParent = false;
  String FText;
  String FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TCursor FCursor = crDefault;
  TPopupMenuBase* FPopupMenu = nullptr;  // not owned; free notification
  TControlState FControlState;
  TStyleElements FStyleElements{seFont, seClient, seBorder};
};

// ---------------------------------------------------------------- TWinControl

class TStyleHook;

struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  Integer X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  UINT WindowClassStyle = CS_DBLCLKS;
  // Empty: the library's own window class. Else a system class (BUTTON,
  // EDIT, WC_TREEVIEW...) that the control subclasses.
  String SubClassOf;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // The window, created on demand (with the parent's).
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  void RecreateWnd();
  bool IsWindowed() const override { return true; }
  // The control whose window Wnd is (nullptr for foreign windows).
  static TWinControl* FindControl(HWND Wnd);

  Integer ControlCount() const { return static_cast<Integer>(FControls.size()); }
  TControl* Controls(Integer Index) const { return FControls.at(static_cast<std::size_t>(Index)); }
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(const TControl* Control) const;
  // The topmost visible child under P (client coordinates); windowless
  // children only unless AllowWinControls.
  TControl* ControlAtPos(const TPoint& P, bool AllowDisabled = false, bool AllowWinControls = false) const;

  void DisableAlign() { ++FAlignDisabled; }
  void EnableAlign();
  void Realign();
  TMargins* Padding() const { return FPadding.get(); }

  TBrush* Brush() const { return FBrush.get(); }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value);

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  Integer TabOrder() const;
  void SetTabOrder(Integer Value);
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // Descendants in tab order (depth first).
  void GetTabOrderList(std::vector<TWinControl*>& List) const;
  // Focuses the next (or previous) focusable descendant after CurControl.
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const;

  void Invalidate() override;
  void Update() override;
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  void SetVisible(bool Value) override;
  void SetEnabled(bool Value) override;
  void ScaleBy(Integer M, Integer D) override;
  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  // Offered a dialog key (Tab, Enter, Escape, arrows) that the focused
  // control does not want; the base offers it to each child in turn.
  virtual void DialogKey(Word& Key, TShiftState Shift, bool& Handled);
  // Paints the control into DC at X, Y (a screenshot that needs no screen).
  void PaintTo(HDC DC, Integer X, Integer Y);
  // The hook a custom style gave the control (made with its window), or
  // nullptr.
  TStyleHook* StyleHook() const { return FStyleHook.get(); }

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // The form part of key handling; public so that a form can run its own
  // preview on behalf of a child.
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void KeyPress(Char& Key);

protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  void CreateHandle();
  void DestroyHandle();
  // Paints the control itself (the base lets the window class paint).
  virtual void PaintWindow(HDC DC);
  // Paints the windowless children into DC (client coordinates).
  void PaintControls(HDC DC);
  void PaintHandler(TMessage& Message);
  virtual void AlignControls(TControl* AControl);
  // One layout of the children (AlignControls repeats it while requests come).
  void AlignPass();
  // Narrows the client area aligned children share (before Padding).
  virtual void AdjustClientRect(TRect& Rect) const { (void)Rect; }
  virtual void DoEnter();
  virtual void DoExit();
  // Whether the control wants Key itself (WM_GETDLGCODE).
  bool WantsKey(Word Key);
  // Offers the character to each child in turn.
  bool DialogChar(Word Key, TShiftState Shift) override;
  // Passes the news on to each child.
  void FocusChanged(TWinControl* Control) override;
  // Sets the new cursor at once when the mouse is over the window.
  void CursorChanged() override;
  // Visible changed while the window exists: shows or hides it.
  virtual void ShowingChanged();
  // Around a change of the children: ControlListChange comes before an
  // insertion (Inserting true) and after a removal, ControlChange after an
  // insertion and before a removal.
  virtual void ControlListChange(TControl*, bool) {}
  virtual void ControlChange(TControl*, bool) {}
  void FontChanged() override;
  void ColorChanged() override;
  void TextChanged() override;
  String GetText() const override;
  void SetTextValue(const String& Value) override;
  void BeforeDestruction() override;
  // Aligns the children that waited while the control was being built.
  void Loaded() override;

  HWND FHandle = nullptr;

private:
  friend class TControl;
  friend LRESULT CALLBACK QuorvelWindowProc(HWND, UINT, WPARAM, LPARAM);
  void Attach(HWND Wnd);
  void Detach();
  bool Reflect(TMessage& Message);
  bool RouteMouseToChild(TMessage& Message);
  void TrackMouse(TControl* Target);
  void KeyMessage(TMessage& Message);
  void UpdateBoundsFromWindow();
  void ShowContextMenu(TMessage& Message);
  void SetCursorMessage(TMessage& Message);

  WNDPROC FDefWndProc = nullptr;
  bool FOwnClass = true;
  std::vector<TControl*> FControls;    // not owned; paint order
  std::vector<TWinControl*> FTabList;  // not owned
  Integer FAlignDisabled = 0;
  Integer FAligning = 0;
  bool FAlignPending = false;
  TSize FAnchorBase{-1, -1};
  std::unique_ptr<TMargins> FPadding;
  std::unique_ptr<TBrush> FBrush;
  bool FDoubleBuffered = false;
  bool FTabStop = false;
  bool FMouseTracking = false;
  std::unique_ptr<TStyleHook> FStyleHook;
};

// ---------------------------------------------------------------- canvases

// A canvas on a control's window; outside painting it gets a DC of its own
// (released with FreeHandle, or when the control's window goes away).
class TControlCanvas : public TCanvas {
public:
  explicit TControlCanvas(TControl* Control) : FControl(Control) {}
  ~TControlCanvas() override { FreeHandle(); }
  void FreeHandle();

protected:
  void CreateHandle() override;

private:
  TControl* FControl;  // the owner
  TWindowDC FOwnDC;    // the DC CreateHandle took, released by FreeHandle
};

class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

protected:
  // Draw the control on Canvas; font and brush colour are the control's.
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }
  void WndProc(TMessage& Message) override;

protected:
  virtual void Paint() {}

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ---------------------------------------------------------------- helpers

// The form (top-level window control) that holds Control, or nullptr.
TCustomForm* GetParentForm(const TControl* Control);
// The control under the screen point, windowless ones included.
TControl* FindDragTarget(const TPoint& ScreenPos, bool AllowDisabled);
// The control that has the mouse capture (windowless ones included).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control the mouse is over, as last tracked.
TControl* MouseControl();
// Runs Work; an exception goes to the application's handler (never further).
void GuardedCall(TObject* Sender, const std::function<void()>& Work) noexcept;
