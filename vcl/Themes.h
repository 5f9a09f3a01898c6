#pragma once
// Windows only. The little of an application-style engine the library
// needs: the scroll-bar parts a style paints, the style services a style
// provides (none by default: the platform's own look), style hooks that
// take a control's messages before the control while a custom style is
// active, and the registry that says which control classes get which hook.
#include <functional>
#include <memory>
#include <typeindex>
#include <vector>

#include "vcl/Controls.h"

// The scroll-bar parts and states a style draws; the numbers are fixed.
enum TThemedScrollBar : Integer {
  tsArrowBtnUpNormal = 2,
  tsArrowBtnUpHot = 3,
  tsArrowBtnUpPressed = 4,
  tsArrowBtnUpDisabled = 5,
  tsArrowBtnDownNormal = 6,
  tsArrowBtnDownHot = 7,
  tsArrowBtnDownPressed = 8,
  tsArrowBtnDownDisabled = 9,
  tsArrowBtnLeftNormal = 10,
  tsArrowBtnLeftHot = 11,
  tsArrowBtnLeftPressed = 12,
  tsArrowBtnLeftDisabled = 13,
  tsArrowBtnRightNormal = 14,
  tsArrowBtnRightHot = 15,
  tsArrowBtnRightPressed = 16,
  tsArrowBtnRightDisabled = 17,
  tsThumbBtnHorzNormal = 22,
  tsThumbBtnHorzHot = 23,
  tsThumbBtnHorzPressed = 24,
  tsThumbBtnVertNormal = 26,
  tsThumbBtnVertHot = 27,
  tsThumbBtnVertPressed = 28,
  tsUpperTrackHorzNormal = 35,
  tsUpperTrackVertNormal = 45,
};

// What a style offers. The default services are the system's: no custom
// style is active and nothing is drawn.
class TCustomStyleServices {
public:
  virtual ~TCustomStyleServices() = default;
  // True while the platform's own look is in use.
  virtual bool IsSystemStyle() const { return true; }
  virtual bool Available() const { return false; }
  virtual void DrawElement(HDC DC, TThemedScrollBar Details, const TRect& R) {
    (void)DC;
    (void)Details;
    (void)R;
  }
};

// The active style services (never null).
TCustomStyleServices& StyleServices();
// Makes Services (not owned; must outlive its use) the active style;
// nullptr returns to the system's look.
void SetStyleServices(TCustomStyleServices* Services);

// Takes a control's messages before the control while a custom style is
// active. HandleMessage returns true when the message needs no more work;
// CallDefaultProc hands a message on to the control itself.
class TStyleHook {
public:
  explicit TStyleHook(TWinControl* AControl) : FControl(AControl) {}
  virtual ~TStyleHook() = default;
  TStyleHook(const TStyleHook&) = delete;
  TStyleHook& operator=(const TStyleHook&) = delete;

  virtual bool HandleMessage(TMessage& Message);
  TWinControl* Control() const { return FControl; }
  HWND Handle() const { return FControl->HandleAllocated() ? FControl->Handle() : nullptr; }

protected:
  virtual void WndProc(TMessage& Message) { CallDefaultProc(Message); }
  void CallDefaultProc(TMessage& Message);
  // Whether the control's window has a border, and whether it is a client
  // edge.
  bool HasBorder() const;
  bool HasClientEdge() const;

  bool Handled = false;

private:
  TWinControl* FControl;  // not owned
};

// A hook that draws a control's standard scroll bars. The rectangles are
// in the control's client coordinates moved by its border (2 for a client
// edge, 1 for another border), the frame mouse positions are given in too.
class TScrollingStyleHook : public TStyleHook {
public:
  explicit TScrollingStyleHook(TWinControl* AControl);

  TRect VertScrollRect() const;
  TRect VertTrackRect() const;
  TRect VertSliderRect() const;
  TRect VertUpButtonRect() const;
  TRect VertDownButtonRect() const;
  TRect HorzScrollRect() const;
  TRect HorzTrackRect() const;
  TRect HorzSliderRect() const;
  TRect HorzUpButtonRect() const;
  TRect HorzDownButtonRect() const;

  virtual void MouseLeave() {}
  virtual void PaintScroll() {}

protected:
  // A point in screen coordinates in the rectangles' frame.
  TPoint ScreenToHookPoint(const TPoint& Screen) const;

  TThemedScrollBar FVSliderState = tsThumbBtnVertNormal;
  TThemedScrollBar FVUpState = tsArrowBtnUpNormal;
  TThemedScrollBar FVDownState = tsArrowBtnDownNormal;
  TThemedScrollBar FHSliderState = tsThumbBtnHorzNormal;
  TThemedScrollBar FHUpState = tsArrowBtnLeftNormal;
  TThemedScrollBar FHDownState = tsArrowBtnRightNormal;
  double FListPos = 0;
  double FScrollPos = 0;
  Integer FPrevScrollPos = 0;

private:
  // The bar's parts from the system: whole bar, track, thumb, first and
  // second button. Empty when the bar is not there.
  struct TBarParts {
    TRect Bar, Track, Thumb, First, Second;
  };
  TBarParts BarParts(LONG ObjectId) const;
};

// Which control classes get which hook while a custom style is active.
class TStyleEngine {
public:
  using THookFactory = std::function<std::unique_ptr<TStyleHook>(TWinControl*)>;
  // Controls of class T and its descendants get the hook Factory makes.
  template <class T>
  static void RegisterStyleHook(THookFactory Factory) {
    Register(
        typeid(T), [](TWinControl* C) { return dynamic_cast<T*>(C) != nullptr; }, std::move(Factory));
  }
  template <class T>
  static void UnRegisterStyleHook() {
    UnRegister(typeid(T));
  }
  // The hook for Control, or none: with the system's look, or for a class
  // nobody registered.
  static std::unique_ptr<TStyleHook> CreateHook(TWinControl* Control);

private:
  static void Register(std::type_index Class, std::function<bool(TWinControl*)> Matches, THookFactory Factory);
  static void UnRegister(std::type_index Class);
};
