#include "treeview/VastTreeHost.h"

#include "rtl/Dispatcher.h"
#include "rtl/Threads.h"

void TWindowlessVastTreeHost::SendToUIThread(std::function<void()> Work) {
  if (IDispatcher* D = MainDispatcher())
    D->Send(std::move(Work));
  else
    Work();
}

void TWindowlessVastTreeHost::PostToUIThread(std::function<void()> Work) {
  if (IDispatcher* D = MainDispatcher())
    D->Post(std::move(Work));
  else
    Work();
}

bool TWindowlessVastTreeHost::IsUIThread() const {
  IDispatcher* D = MainDispatcher();
  return !D || D->IsUIThread();
}

void TWindowlessVastTreeHost::ServeUIThread(Cardinal TimeoutMs) {
  if (IDispatcher* D = MainDispatcher())
    D->ProcessSends(TimeoutMs);
  else
    TThread::Sleep(TimeoutMs);
}

TWindowlessVastTreeHost& TWindowlessVastTreeHost::Instance() {
  static TWindowlessVastTreeHost Host;
  return Host;
}

Cardinal IVastTreeHost::TickCount() const {
  // Truncated to 32 bits on purpose: callers compare with wrap-around.
  return static_cast<Cardinal>(TThread::GetTickCount64());
}
