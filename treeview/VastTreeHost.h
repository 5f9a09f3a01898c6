#pragma once
// What the portable tree core needs of its window. The Windows control
// implements it; native tests fake it. Every call comes from the
// user-interface thread unless its comment says otherwise.
#include <functional>

#include "rtl/Geometry.h"
#include "rtl/Types.h"

struct TVastNode;
class TCustomImageList;

// What one scroll bar should show. Hidden: the bar goes away; Disabled: it
// stays visible but inactive (scroll bars that are always visible).
enum TScrollBarShow : Byte { sbsHidden, sbsShown, sbsDisabled };

class IVastTreeHost {
public:
  virtual ~IVastTreeHost() = default;

  // Whether the control has a window; timers, redraw switching and the
  // worker's state hand-over exist only then.
  virtual bool HasWindow() const = 0;

  // Repainting. Node rectangles are the window's business: the core names
  // nodes, the window turns them into rectangles.
  virtual void InvalidateNodeArea(TVastNode* Node) = 0;
  virtual void InvalidateToBottomArea(TVastNode* Node) = 0;
  virtual void InvalidateAll() = 0;
  virtual void SetRedraw(bool Enabled) = 0;
  // The tree has just set its scroll bars (through SetScrollBar below).
  virtual void ScrollBarsUpdated(bool DoRepaint) = 0;

  // The client area (without frame, header and scroll bars), in pixels.
  virtual Integer ClientWidth() const { return 0; }
  virtual Integer ClientHeight() const { return 0; }
  // Sets one scroll bar: range 0..Max, page Page, position Pos. Answers the
  // position the bar holds afterwards (it clamps to its range).
  virtual Integer SetScrollBar(bool Vertical, TScrollBarShow Show, Integer Max, Integer Page, Integer Pos,
                               bool Repaint) {
    (void)Vertical, (void)Show, (void)Max, (void)Page, (void)Repaint;
    return Pos;
  }
  // Width of a vertical bar or height of a horizontal one.
  virtual Integer ScrollBarSize(bool Vertical) const {
    (void)Vertical;
    return 0;
  }
  // Moves the painted client content by (DX, DY) inside Clip (client
  // coordinates) and invalidates what is uncovered.
  virtual void ScrollClient(Integer DX, Integer DY, const TRect& Clip) { (void)DX, (void)DY, (void)Clip; }
  virtual void InvalidateRect(const TRect& R) { (void)R; }
  // Paints what is invalid now rather than when the messages get to it.
  virtual void UpdateNow() {}
  // The image size of an image list (0 x 0 for none).
  virtual TSize ImageListSize(TCustomImageList* List) const {
    (void)List;
    return TSize{0, 0};
  }
  // Pixels per inch of the control's display.
  virtual Integer PixelsPerInch() const { return 96; }

  // --- input
  // Keyboard focus of the control.
  virtual bool Focused() const { return false; }
  virtual bool CanFocus() const { return false; }
  virtual void SetFocus() {}
  virtual bool Enabled() const { return true; }
  // Mouse capture for the control (False releases it).
  virtual void SetMouseCapture(bool Capture) { (void)Capture; }
  // Client and screen coordinates of the control.
  virtual TPoint ClientToScreen(const TPoint& P) const { return P; }
  virtual TPoint ScreenToClient(const TPoint& P) const { return P; }
  // The mouse pointer on the screen, and whether it is shown.
  virtual TPoint CursorPos() const { return TPoint{0, 0}; }
  virtual bool CursorShowing() const { return true; }
  // Whether the control a drag would target at a screen point is this one.
  virtual bool IsDragTargetAt(const TPoint& ScreenPoint) const {
    (void)ScreenPoint;
    return false;
  }
  // Whether the tree is the current target of an OLE drag.
  virtual bool IsOleDropTarget() const { return false; }
  // The platform's drag threshold in pixels.
  virtual Integer SystemDragThreshold() const { return 4; }
  // Whether the left mouse button is held now.
  virtual bool LeftButtonDown() const { return false; }
  // The platform's default beep.
  virtual void Beep() {}
  // The millisecond clock of auto-scroll delays; it wraps after 2^32 ms.
  virtual Cardinal TickCount() const;
  // Window timers by tree timer identifier; the window calls
  // TBaseVastTree::TimerFired(Id) when one elapses.
  virtual void SetTimer(Cardinal TimerId, Cardinal Milliseconds) = 0;
  virtual void KillTimer(Cardinal TimerId) = 0;

  // Text measurement in pixels with the tree's font.
  virtual Integer TextWidth(const String& Text) = 0;
  virtual Integer TextHeight(const String& Text) = 0;

  // Hand-over to the user-interface thread. Send runs Work there and waits
  // (inline when called on it); Post queues it. Any thread may call these.
  virtual void SendToUIThread(std::function<void()> Work) = 0;
  virtual void PostToUIThread(std::function<void()> Work) = 0;
  virtual bool IsUIThread() const = 0;
  // On the user-interface thread while it waits for the worker: runs the
  // Sends that are waiting, or waits up to TimeoutMs for one.
  virtual void ServeUIThread(Cardinal TimeoutMs) = 0;
};

// A tree without a window: nothing to repaint, no timers, and work for the
// user-interface thread goes through the process's main dispatcher (inline
// when there is none).
class TWindowlessVastTreeHost : public IVastTreeHost {
public:
  bool HasWindow() const override { return false; }
  void InvalidateNodeArea(TVastNode*) override {}
  void InvalidateToBottomArea(TVastNode*) override {}
  void InvalidateAll() override {}
  void SetRedraw(bool) override {}
  void ScrollBarsUpdated(bool) override {}
  void SetTimer(Cardinal, Cardinal) override {}
  void KillTimer(Cardinal) override {}
  Integer TextWidth(const String& Text) override { return static_cast<Integer>(Text.size()) * 7; }
  Integer TextHeight(const String&) override { return 13; }
  void SendToUIThread(std::function<void()> Work) override;
  void PostToUIThread(std::function<void()> Work) override;
  bool IsUIThread() const override;
  void ServeUIThread(Cardinal TimeoutMs) override;

  static TWindowlessVastTreeHost& Instance();
};
