#pragma once
// Helpers shared by the tree tests: a scriptable host and a checker of the
// node store's invariants.
#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "rtl/Dispatcher.h"
#include "rtl/Threads.h"
#include "treeview/VastTrees.h"

// A host with a window whose timers are recorded (tests fire them) and whose
// user-interface thread is the test thread, served through a queue.
class TFakeTreeHost : public IVastTreeHost {
public:
  std::map<Cardinal, Cardinal> Timers;
  int FullRepaints = 0;
  bool Redraw = true;  // the window's drawing, switched off inside updates
  TQueueDispatcher Dispatcher;

  // Client area and scroll bars, for the geometry tests.
  Integer Width = 200;
  Integer Height = 100;
  struct TBar {
    TScrollBarShow Show = sbsHidden;
    Integer Max = 0;
    Integer Page = 0;
    Integer Pos = 0;
  };
  TBar Bars[2];  // horizontal, vertical
  struct TScroll {
    Integer DX, DY;
    TRect Clip;
  };
  std::vector<TScroll> Scrolls;

  bool HasWindow() const override { return true; }
  Integer ClientWidth() const override { return Width; }
  Integer ClientHeight() const override { return Height; }
  Integer SetScrollBar(bool Vertical, TScrollBarShow Show, Integer Max, Integer Page, Integer Pos, bool) override {
    TBar& B = Bars[Vertical ? 1 : 0];
    B.Show = Show;
    B.Max = Max;
    B.Page = Page;
    // A bar clamps its position to 0 .. Max - Page + 1, as the system's does.
    B.Pos = std::max(0, std::min(Pos, Page > 0 ? Max - Page + 1 : Max));
    return B.Pos;
  }
  Integer ScrollBarSize(bool) const override { return 17; }
  void ScrollClient(Integer DX, Integer DY, const TRect& Clip) override { Scrolls.push_back({DX, DY, Clip}); }
  void InvalidateNodeArea(TVastNode*) override {}
  void InvalidateToBottomArea(TVastNode*) override {}
  void InvalidateAll() override { ++FullRepaints; }
  void SetRedraw(bool Value) override { Redraw = Value; }
  void ScrollBarsUpdated(bool) override {}
  void SetTimer(Cardinal TimerId, Cardinal Milliseconds) override { Timers[TimerId] = Milliseconds; }
  void KillTimer(Cardinal TimerId) override { Timers.erase(TimerId); }
  Integer TextWidth(const String& Text) override { return static_cast<Integer>(Text.size()) * 7; }
  Integer TextHeight(const String&) override { return 13; }
  void SendToUIThread(std::function<void()> Work) override { Dispatcher.Send(std::move(Work)); }
  void PostToUIThread(std::function<void()> Work) override { Dispatcher.Post(std::move(Work)); }
  bool IsUIThread() const override { return Dispatcher.IsUIThread(); }
  void ServeUIThread(Cardinal TimeoutMs) override { Dispatcher.ProcessSends(TimeoutMs); }

  // Fires a running timer the way the window would.
  bool Fire(TBaseVastTree& Tree, Cardinal TimerId) {
    if (!Timers.count(TimerId)) return false;
    Tree.TimerFired(TimerId);
    return true;
  }
  // Serves the user-interface queue until Done holds or the time is up.
  bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 10000) {
    // Kept free of the test framework: the tree stream fuzz targets use
    // this host too.
    const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    while (!Done()) {
      if (std::chrono::steady_clock::now() >= End) return false;
      Dispatcher.WaitAndProcess(5);
    }
    return true;
  }
};

// Checks the five invariants, the visible walk, the heights and the
// selection mirror. Returns an empty string when everything holds.
inline std::string TreeInvariantViolation(TBaseVastTree& Tree) {
  std::ostringstream Out;
  PVastNode Root = Tree.RootNode();
  const bool ShowFiltered = Tree.TreeOptions().PaintOptions().Contains(toShowFilteredNodes);
  auto EffFiltered = [&](PVastNode N) { return N->States.Contains(vsFiltered) && !ShowFiltered; };
  Cardinal Visible = 0;
  Cardinal Selected = 0;
  std::function<bool(PVastNode, bool)> Check = [&](PVastNode N, bool PathOpen) -> bool {
    Cardinal Count = 1;
    Cardinal Height = N == Root ? N->NodeHeight : (EffFiltered(N) ? 0 : N->NodeHeight);
    Cardinal Index = 0, Children = 0;
    PVastNode Prev = nullptr;
    const bool ChildPathOpen =
        N == Root || (PathOpen && N->States.Contains(vsExpanded) && N->States.Contains(vsVisible));
    for (PVastNode C = N->FirstChild; C; C = C->NextSibling) {
      if (C->Parent != N) {
        Out << "bad parent link";
        return false;
      }
      if (C->PrevSibling != Prev) {
        Out << "bad previous link";
        return false;
      }
      if (C->Index != Index) {
        Out << "index " << C->Index << " expected " << Index;
        return false;
      }
      ++Index;
      if (ChildPathOpen && C->States.Contains(vsVisible) && !EffFiltered(C)) ++Visible;
      if (C->States.Contains(vsSelected)) ++Selected;
      if (!Check(C, ChildPathOpen)) return false;
      Count += C->TotalCount;
      if (N->States.Contains(vsExpanded) && C->States.Contains(vsVisible)) Height += C->TotalHeight;
      ++Children;
      Prev = C;
    }
    if (N->LastChild != Prev) {
      Out << "bad last child";
      return false;
    }
    if (N->ChildCount != Children) {
      Out << "ChildCount " << N->ChildCount << " chain " << Children;
      return false;
    }
    if (Children > 0 && !N->States.Contains(vsHasChildren)) {
      Out << "children without vsHasChildren";
      return false;
    }
    if (N->TotalCount != Count) {
      Out << "TotalCount " << N->TotalCount << " expected " << Count;
      return false;
    }
    if (N->TotalHeight != Height) {
      Out << "TotalHeight " << N->TotalHeight << " expected " << Height;
      return false;
    }
    return true;
  };
  if (!Check(Root, true)) return Out.str();
  if (Visible != Tree.VisibleCount()) {
    Out << "VisibleCount " << Tree.VisibleCount() << " expected " << Visible;
    return Out.str();
  }
  Cardinal Walked = 0, WalkHeight = 0;
  for (PVastNode Run = Tree.GetFirstVisibleNoInit(nullptr, true, false); Run; Run = Tree.GetNextVisibleNoInit(Run)) {
    ++Walked;
    WalkHeight += Run->NodeHeight;
    if (Walked > Visible + 1) break;
  }
  if (Walked != Visible) {
    Out << "visible walk " << Walked << " expected " << Visible;
    return Out.str();
  }
  if (WalkHeight != Root->TotalHeight - Root->NodeHeight) {
    Out << "visible rows " << WalkHeight << " high, root total " << Root->TotalHeight - Root->NodeHeight;
    return Out.str();
  }
  if (static_cast<Integer>(Selected) != Tree.SelectedCount()) {
    Out << "SelectedCount " << Tree.SelectedCount() << " flagged " << Selected;
    return Out.str();
  }
  return {};
}

#define EXPECT_TREE_VALID(Tree) EXPECT_EQ(TreeInvariantViolation(Tree), std::string())
#define ASSERT_TREE_VALID(Tree) ASSERT_EQ(TreeInvariantViolation(Tree), std::string())

// Texts for nodes: a node's label lives in the first 4 bytes of its data as
// an integer key.
inline Integer& Key(TBaseVastTree& Tree, PVastNode Node) { return *Tree.GetNodeData<Integer>(Node); }

// "A(A1 A2) B" for the structure under Parent, labels from Key.
inline std::string Shape(TBaseVastTree& Tree, PVastNode Parent = nullptr) {
  std::string S;
  for (PVastNode Run = Tree.GetFirstChildNoInit(Parent); Run; Run = Run->NextSibling) {
    if (!S.empty()) S += ' ';
    S += std::to_string(Key(Tree, Run));
    if (Run->FirstChild) S += "(" + Shape(Tree, Run) + ")";
  }
  return S;
}
