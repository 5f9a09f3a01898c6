#pragma once
// Forms, the application object and the screen: top-level windows with
// their life cycle (OnCreate, OnShow, OnCloseQuery, OnClose, OnDestroy),
// modal loops, dialog keys, positions and border styles; the message loop
// with idle handling, exceptions and hints; the cursor table; the command
// line.
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "rtl/StringList.h"
#include "vcl/Controls.h"
#include "vcl/Messages.h"
#include "rtl/Win32.h"

class TWinDispatcher;
class TUtilityWindow;

// ---------------------------------------------------------------- form enums
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon, Byte>;
enum TFormStyle { fsNormal, fsStayOnTop };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

using TModalResult = Integer;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = IDOK;
inline constexpr TModalResult mrCancel = IDCANCEL;
inline constexpr TModalResult mrAbort = IDABORT;
inline constexpr TModalResult mrRetry = IDRETRY;
inline constexpr TModalResult mrIgnore = IDIGNORE;
inline constexpr TModalResult mrYes = IDYES;
inline constexpr TModalResult mrNo = IDNO;
inline constexpr TModalResult mrClose = 8;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// ---------------------------------------------------------------- forms

// A form is made with new (or Application->CreateForm / TCustomForm::Create,
// which also run AfterConstruction: scaling, then OnCreate). Its window is
// made at the first Show; the form starts hidden.
class TCustomForm : public TWinControl {
public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  template <class T, class... Args>
  static T* Create(Args&&... args) {
    T* form = new T(std::forward<Args>(args)...);
    try {
      form->AfterConstruction();
    } catch (...) {
      delete form;
      throw;
    }
    return form;
  }
  // Scales to the screen when Scaled, then DoCreate (OnCreate). Once.
  void AfterConstruction();

  void Show();
  void Close();
  // OnCloseQuery's answer (true when there is none).
  virtual bool CloseQuery();
  // Shows the form modally: the other forms are disabled and a message loop
  // runs until ModalResult becomes non-zero (or the application ends), then
  // the form is hidden and ModalResult returned.
  Integer ShowModal();
  // Frees the form once the messages being handled are done.
  void Release();
  void BringToFront();

  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool Modal() const { return FModal; }

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState Value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);
  bool Active() const { return FActive; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool Value) { FScaled = Value; }
  // The resolution the form was laid out for (96 unless set).
  Integer PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer Value) { FPixelsPerInch = Value; }

  TRect ClientRect() const override;
  void SetClientSize(Integer AWidth, Integer AHeight) override;
  TPoint ClientOrigin() const override;
  void SetVisible(bool Value) override;
  void DialogKey(Word& Key, TShiftState Shift, bool& Handled) override;
  void WndProc(TMessage& Message) override;
  // Records the focused control (called when a child gets the focus).
  void SetFocusedControl(TWinControl* Control);
  // Keyboard shortcuts: the form's menus and action lists register here and
  // are offered each key press (in registration order) before the focused
  // control sees it. A handler answers true when it used the key.
  using TShortCutHandler = std::function<bool(Word Key, TShiftState Shift)>;
  int AddShortCutHandler(TShortCutHandler Handler);
  void RemoveShortCutHandler(int Id);
  virtual bool IsShortCut(Word Key, TShiftState Shift);

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnDestroy;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;

protected:
  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void DoDestroy();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void BeforeDestruction() override;

private:
  void PlaceOnFirstShow();
  void CloseModal();
  DWORD FrameStyle() const;
  DWORD FrameExStyle() const;

  TModalResult FModalResult = mrNone;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDefaultPosOnly;
  TWindowState FWindowState = wsNormal;
  bool FKeyPreview = false;
  TWinControl* FActiveControl = nullptr;  // not owned
  bool FActive = false;
  bool FScaled = true;
  Integer FPixelsPerInch = 96;
  bool FModal = false;
  bool FShown = false;
  bool FCreated = false;
  std::map<int, TShortCutHandler> FShortCutHandlers;
  int FNextShortCutId = 1;
};

class TForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
};

// ---------------------------------------------------------------- hint window

class THintWindow : public TCustomControl {
public:
  explicit THintWindow(TComponent* AOwner);
  // Size of the window for Hint, at most MaxWidth wide.
  TRect CalcHintRect(Integer MaxWidth, const String& Hint);
  // The same with the data the control gave (THintInfo::HintData).
  virtual TRect CalcHintRect(Integer MaxWidth, const String& Hint, const void* Data) {
    (void)Data;
    return CalcHintRect(MaxWidth, Hint);
  }
  // Shows Hint in Rect (screen coordinates).
  void ActivateHint(const TRect& Rect, const String& Hint);
  void ReleaseHint();
  bool IsHintShowing() const { return FShowing; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

private:
  bool FShowing = false;
};

// ---------------------------------------------------------------- application

using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;
using TShowHintEvent = std::function<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;

class TApplication : public TComponent {
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // COM, common controls, the main dispatcher on this thread. Idempotent;
  // CreateForm and Run call it too.
  void Initialize();
  TWinDispatcher* Dispatcher() const { return FDispatcher.get(); }

  // Makes a form owned by the application; the first one is the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    Initialize();
    T* form = new T(this);
    Reference = form;
    if (!FMainForm) FMainForm = form;
    form->AfterConstruction();
  }
  TCustomForm* MainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* Form) { FMainForm = Form; }
  bool ShowMainForm = true;

  // Shows the main form and runs the message loop until Terminate.
  void Run();
  // One message, or idle handling and a wait when there is none.
  void HandleMessage();
  // Handles every message waiting, then returns.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return FTerminated; }

  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }

  // Hands the exception being handled to OnException, or shows it in a
  // message box. EAbort is silent. Call from inside a catch block only.
  void HandleException(TObject* Sender);
  void ShowException(const Exception& E);
  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;

  // Work run at every idle moment (action updates); answers an id for removal.
  int AddIdleHandler(std::function<void()> Handler);
  void RemoveIdleHandler(int Id);

  // Hints.
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  TColor HintColor = clInfoBk;
  Integer HintPause = 500;
  Integer HintShortPause = 50;
  Integer HintHidePause = 2500;
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);
  void CancelHint();
  // Shows the hint of the control under CursorPos (screen) now.
  void ActivateHint(const TPoint& CursorPos);
  THintWindow* HintWindow() const { return FHintWindow; }
  TControl* HintControl() const { return FHintControl; }
  // The area (HintControl's client coordinates) the shown hint belongs to;
  // leaving it lets the control be asked again.
  const TRect& HintCursorRect() const { return FHintCursorRect; }
  // The pointer moved over Control (or a part of it outside its client
  // area, which the message loop does not watch): its hint is timed anew
  // when it has one.
  void HintMouseMessage(TControl* Control);

  Integer ModalLevel() const { return FModalLevel; }

  // Message-loop pieces, for loops the library runs itself.
  bool ProcessMessage(MSG& Msg);
  void Idle();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TCustomForm;
  bool IsKeyMsg(MSG& Msg);
  void HintTimerFired(UINT_PTR Id);
  void StartHintTimer(UINT_PTR Id, Integer Ms);
  void StopHintTimer(UINT_PTR Id);

  bool FInitialized = false;
  bool FTerminated = false;
  String FTitle;
  TCustomForm* FMainForm = nullptr;  // owned as a component
  std::unique_ptr<TWinDispatcher> FDispatcher;
  std::unique_ptr<TUtilityWindow> FHintTimers;
  std::map<int, std::function<void()>> FIdleHandlers;
  int FNextIdleId = 1;
  Integer FModalLevel = 0;
  bool FShowHint = true;
  String FHint;
  THintWindow* FHintWindow = nullptr;  // owned as a component
  bool FHintWindowIsControls = false;  // FHintWindow came from a control's HintWindowClass
  TRect FHintCursorRect;
  TControl* FHintControl = nullptr;  // not owned
  bool FHintActive = false;
  bool FComInitialized = false;
};

// ---------------------------------------------------------------- screen, mouse

class TScreen : public TComponent {
public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // crDefault lets each control choose; anything else overrides them all.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The cursor table: the standard cursors, and custom ones stored by index
  // (positive numbers) which the screen then owns.
  HCURSOR Cursors(TCursor Index) const;
  void SetCursors(TCursor Index, HCURSOR Handle);

  Integer PixelsPerInch() const;
  Integer Width() const;
  Integer Height() const;
  TRect WorkAreaRect() const;
  TRect DesktopRect() const;

  TCustomForm* ActiveForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const;
  Integer FormCount() const { return static_cast<Integer>(FForms.size()); }
  TCustomForm* Forms(Integer Index) const { return FForms.at(static_cast<std::size_t>(Index)); }
  TFont* HintFont() const { return FHintFont.get(); }
  // The installed font families, sorted without case, read on first use
  // (vertical "@" faces left out). ResetFonts reads them again next time.
  TStrings* Fonts();
  void ResetFonts() { FFonts.reset(); }

private:
  friend class TCustomForm;
  std::unique_ptr<TStringList> FFonts;
  TCursor FCursor = crDefault;
  std::map<TCursor, TCursorHandle> FCustomCursors;
  TCustomForm* FActiveForm = nullptr;  // not owned
  std::vector<TCustomForm*> FForms;    // not owned
  std::unique_ptr<TFont> FHintFont;
};

class TMouse {
public:
  Integer DragThreshold = 5;
  TPoint CursorPos() const;
  void SetCursorPos(const TPoint& P);
  Integer WheelScrollLines() const;
};

extern TApplication* Application;
extern TScreen* Screen;
extern TMouse* Mouse;

// ---------------------------------------------------------------- command line
// Parameters are separated by characters up to the space (the way Windows
// programs have always split their command line); a double quote starts or ends a quoted run (the quotes are
// dropped, there is no escape); "" pairs between parameters are skipped.
// ParamStr(0) is the program's file name; a missing parameter is "".
Integer ParamCount();
String ParamStr(Integer Index);
// The same rules on a given command line (whose first parameter counts as 0).
Integer ParamCountOf(const String& CommandLine);
String ParamStrOf(const String& CommandLine, Integer Index);
