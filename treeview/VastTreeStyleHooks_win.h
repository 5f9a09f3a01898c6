#pragma once
// Windows only. Styled scroll bars for the trees: while a custom style is
// active, two small windows in the tree's parent lie over the tree's own
// scroll bars and show them in the style's look; mouse input on the bars
// still reaches the tree (the windows are transparent to hit tests) and
// the hook turns thumb drags into scroll messages.
#include <memory>

#include "vcl/Themes.h"

class TVastTreeControl;

class TVclStyleScrollBarsHook : public TScrollingStyleHook {
public:
  // A window over one scroll bar; paints through its hook.
  class TScrollWindow : public TWinControl {
  public:
    TScrollWindow(HWND ParentWindow, TVclStyleScrollBarsHook* Hook, bool Vertical);
    void SetHook(TVclStyleScrollBarsHook* Hook) { FStyleHook = Hook; }
    bool Vertical() const { return FVertical; }
    void WndProc(TMessage& Message) override;

  protected:
    void CreateParams(TCreateParams& Params) override;

  private:
    HWND FParentWindow;
    TVclStyleScrollBarsHook* FStyleHook;  // not owned; nullptr once detached
    bool FVertical;
  };

  explicit TVclStyleScrollBarsHook(TWinControl* AControl);
  ~TVclStyleScrollBarsHook() override;

  void MouseLeave() override;
  void PaintScroll() override;
  virtual void UpdateScrollWindowStates();
  virtual void DrawHorzScrollBar(HDC DC);
  virtual void DrawVertScrollBar(HDC DC);

  TScrollWindow* VertScrollWindow() const { return FVertScrollWnd.get(); }
  TScrollWindow* HorzScrollWindow() const { return FHorzScrollWnd.get(); }
  TThemedScrollBar VertSliderState() const { return FVSliderState; }
  TThemedScrollBar VertUpState() const { return FVUpState; }
  TThemedScrollBar VertDownState() const { return FVDownState; }
  TThemedScrollBar HorzSliderState() const { return FHSliderState; }
  TThemedScrollBar HorzUpState() const { return FHUpState; }
  TThemedScrollBar HorzDownState() const { return FHDownState; }
  void PlaceScrollWindows();

protected:
  void WndProc(TMessage& Message) override;

private:
  struct TBarWindowState {
    bool Visible = false;
    bool Enabled = false;
  };
  TVastTreeControl* Tree() const;
  bool InTreeHeader(const TPoint& HookPoint) const;
  TPoint MessageHookPoint(const TMessage& Message) const;
  void WMNCLButtonDown(TMessage& Message);
  void WMNCLButtonUp(TMessage& Message);
  void WMNCMouseMove(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMCaptureChanged(TMessage& Message);
  void TrackThumb(bool Vertical);

  std::unique_ptr<TScrollWindow> FHorzScrollWnd;
  bool FLeftMouseButtonDown = false;
  std::unique_ptr<TScrollWindow> FVertScrollWnd;
  TBarWindowState FVertState;
  TBarWindowState FHorzState;
  Integer FVertWindowHeight = 0;
};

// Registers the hook for the string and draw trees (done at start-up) and
// takes it back (at exit).
void RegisterTreeStyleHooks();
void UnRegisterTreeStyleHooks();
