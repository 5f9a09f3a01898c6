#pragma once
// The host of the tree benchmarks: a window that repaints nothing, 7 pixels
// a character, 13 a line, and whose user-interface thread is the benchmark
// thread (work for it waits in Dispatcher).
#include "rtl/Dispatcher.h"
#include "treeview/VastTreeHost.h"

class TBenchTreeHost : public IVastTreeHost {
public:
  TQueueDispatcher Dispatcher;
  bool HasWindow() const override { return true; }
  void InvalidateNodeArea(TVastNode*) override {}
  void InvalidateToBottomArea(TVastNode*) override {}
  void InvalidateAll() override {}
  void SetRedraw(bool) override {}
  void ScrollBarsUpdated(bool) override {}
  void SetTimer(Cardinal, Cardinal) override {}
  void KillTimer(Cardinal) override {}
  Integer TextWidth(const String& Text) override { return static_cast<Integer>(Text.size()) * 7; }
  Integer TextHeight(const String&) override { return 13; }
  void SendToUIThread(std::function<void()> Work) override { Dispatcher.Send(std::move(Work)); }
  void PostToUIThread(std::function<void()> Work) override { Dispatcher.Post(std::move(Work)); }
  bool IsUIThread() const override { return Dispatcher.IsUIThread(); }
  void ServeUIThread(Cardinal TimeoutMs) override { Dispatcher.ProcessSends(TimeoutMs); }
};
