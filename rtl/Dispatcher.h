#pragma once
// The way work reaches the user-interface thread. Every piece of the program
// that must run something on that thread (TThread::Synchronize and Queue, the
// scan worker's updates, the FTP log lines) goes through the process-wide
// main dispatcher. On Windows the real one is a message-only window (vcl/);
// TQueueDispatcher is the portable one for tests and console programs.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "rtl/Exceptions.h"
#include "rtl/SyncObjs.h"
#include "rtl/Types.h"

// Raised by Send when the dispatcher was shut down (or destroyed) before the
// work ran: in the sending thread for a Send still waiting, at once for a Send
// made afterwards.
QUORVEL_DECLARE_EXCEPTION(EDispatcherShutdown, EThread);

class IDispatcher {
public:
  virtual ~IDispatcher() = default;

  // Runs Work on the user-interface thread and waits until it has run. From
  // the user-interface thread itself it runs at once. An exception that Work
  // raises is caught on the user-interface thread and raised again in the
  // sending thread (the same exception object).
  virtual void Send(std::function<void()> Work) = 0;
  // Queues Work for the user-interface thread and returns at once, from any
  // thread, the user-interface thread included. An exception that Work raises
  // goes to HandleUnhandledException and never leaves the dispatcher.
  virtual void Post(std::function<void()> Work) = 0;
  virtual bool IsUIThread() const = 0;

  // For the user-interface thread while it waits for something else (a
  // thread's end): runs the Sends already waiting, or when none is waiting,
  // waits up to TimeoutMs for one to arrive or for Wake, and runs the Sends
  // waiting then. Posted work is left for the regular loop (as a Windows wait
  // with QS_SENDMESSAGE serves sent messages only). Returns the number of
  // Sends run. On any other thread it runs nothing and returns 0 at once.
  virtual int ProcessSends(Cardinal TimeoutMs) = 0;
  // Any thread: ends the current ProcessSends wait of the user-interface
  // thread early. Not lost when nobody waits: the next wait returns at once.
  // (A Windows implementation: Send is a SendMessage to its window, Wake sets
  // an auto-reset event, ProcessSends is MsgWaitForMultipleObjects on that
  // event with QS_SENDMESSAGE plus a PeekMessage(PM_NOREMOVE) to deliver.)
  virtual void Wake() = 0;

  // User-interface thread: serves Sends until Done() holds or TimeoutMs has
  // passed; Done is checked before the first wait and after every round, and
  // whoever makes Done true is expected to call Wake. Returns Done().
  bool WaitServingSends(const std::function<bool()>& Done, Cardinal TimeoutMs = INFINITE);
};

// The process-wide current dispatcher; nullptr while there is none.
IDispatcher* MainDispatcher();
void SetMainDispatcher(IDispatcher* Dispatcher);

// Where exceptions raised by posted work go. The default handler writes the
// message to the standard error stream. A handler that raises is ignored.
using TUnhandledExceptionHandler = std::function<void(std::exception_ptr)>;
// Installs Handler (nullptr restores the default) and returns the previous one.
TUnhandledExceptionHandler SetUnhandledExceptionHandler(TUnhandledExceptionHandler Handler);
// Hands E to the current handler; never raises.
void HandleUnhandledException(std::exception_ptr E) noexcept;

// A dispatcher whose user-interface thread is the thread that creates it and
// that runs the work when that thread asks: ProcessPending runs what is
// queued, WaitAndProcess first waits for work. Sends and Posts run in the
// order they arrived.
//
// Shutdown (also done by the destructor) releases every Send still waiting
// with EDispatcherShutdown, drops queued Posts, and from then on Send raises
// and Post drops its work. A thread blocked in Send never waits on the
// dispatcher object itself, so destroying the dispatcher while Sends wait is
// safe; calling into a dispatcher that is being destroyed is not.
class TQueueDispatcher : public IDispatcher {
public:
  TQueueDispatcher();
  ~TQueueDispatcher() override;
  TQueueDispatcher(const TQueueDispatcher&) = delete;
  TQueueDispatcher& operator=(const TQueueDispatcher&) = delete;

  void Send(std::function<void()> Work) override;
  void Post(std::function<void()> Work) override;
  bool IsUIThread() const override;
  int ProcessSends(Cardinal TimeoutMs) override;
  void Wake() override;

  // User-interface thread only (EThread elsewhere): runs the work queued at
  // the time of the call, in order; work queued meanwhile waits for the next
  // call. Returns the number of items run.
  int ProcessPending();
  // User-interface thread only: waits up to TimeoutMs for work (or Wake),
  // then ProcessPending. Returns the number of items run.
  int WaitAndProcess(Cardinal TimeoutMs);

  // Any thread; idempotent.
  void Shutdown();
  bool IsShutDown() const;
  // Queued items, Sends and Posts.
  std::size_t PendingCount() const;

private:
  struct TItem {
    std::function<void()> Work;
    std::shared_ptr<std::promise<void>> Reply;  // set for a Send only
  };

  bool PopItem(bool sendsOnly, TItem& item);
  void RunItem(TItem& item);
  void CheckUIThread(const char16_t* what) const;

  const std::thread::id FOwner;
  mutable std::mutex FMutex;
  std::condition_variable FCond;
  std::deque<TItem> FQueue;
  std::size_t FSendsQueued = 0;
  bool FWakeRequested = false;
  bool FShutDown = false;
};
