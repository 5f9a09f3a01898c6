#pragma once
// The Windows dispatcher: work for the user-interface thread goes through a
// message-only window of that thread. Send is a SendMessage (the sending
// thread blocks until the window procedure ran the work), Post a queued item
// plus a PostMessage that makes the message loop run it, Wake an auto-reset
// event, and ProcessSends a MsgWaitForMultipleObjects on that event with
// QS_SENDMESSAGE followed by a PeekMessage that delivers the sent messages
// (posted work waits for the regular loop).
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

#include "rtl/Dispatcher.h"
#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"

class TWinDispatcher : public IDispatcher {
public:
  // On the thread that will be the user-interface thread.
  TWinDispatcher();
  // Shutdown; on the user-interface thread.
  ~TWinDispatcher() override;
  TWinDispatcher(const TWinDispatcher&) = delete;
  TWinDispatcher& operator=(const TWinDispatcher&) = delete;

  void Send(std::function<void()> Work) override;
  void Post(std::function<void()> Work) override;
  bool IsUIThread() const override;
  int ProcessSends(Cardinal TimeoutMs) override;
  void Wake() override;

  // Any thread; idempotent. Releases later Sends with EDispatcherShutdown
  // and drops the posted work not run yet. The window itself goes with the
  // destructor.
  void Shutdown();
  bool IsShutDown() const { return FShutDown.load(std::memory_order_acquire); }
  HWND Handle() const { return FWindow.Get(); }
  // Posted work not run yet.
  std::size_t PendingPosts() const;

private:
  struct TSendItem;
  static LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  void RunPosts();

  const DWORD FThreadId;
  TWindowHandle FWindow;
  TKernelHandle FWakeEvent;  // auto reset
  std::atomic<bool> FShutDown{false};
  mutable std::mutex FMutex;
  std::deque<std::function<void()>> FPosts;  // guarded by FMutex
  bool FKickPending = false;                 // guarded by FMutex
  int FSendsRun = 0;                         // user-interface thread only
};
