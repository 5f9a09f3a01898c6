#include "rtl/Threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

constexpr Cardinal kLongWait = 10000;

// A thread whose Execute is a function given by the test (a member of the
// derived class, alive until the thread has ended however it is deleted).
class TFnThread : public TThread {
public:
  using TBody = std::function<void(TFnThread&)>;
  explicit TFnThread(TBody body, bool createSuspended = true) : TThread(createSuspended), FBody(std::move(body)) {}
  std::atomic<int> TerminatedSetCalls{0};
  std::function<void()> OnTerminatedSet;

protected:
  void Execute() override { FBody(*this); }
  void TerminatedSet() override {
    ++TerminatedSetCalls;
    if (OnTerminatedSet) OnTerminatedSet();
  }

private:
  TBody FBody;
};

TThreadPtr<TFnThread> MakeThread(TFnThread::TBody body) {
  return TThreadPtr<TFnThread>(new TFnThread(std::move(body)));
}

// Every test runs with a queue dispatcher whose UI thread is the test's thread.
class ThreadTest : public ::testing::Test {
protected:
  void SetUp() override {
    FPrevious = MainDispatcher();
    SetMainDispatcher(&UI);
  }
  void TearDown() override { SetMainDispatcher(FPrevious); }

  // Pumps the UI thread's queue until done() (bounded).
  template <class Done>
  bool PumpUntil(Done done) {
    return testsupport::PumpUntil(UI, done, kLongWait);
  }

  TQueueDispatcher UI;
  const std::thread::id UIThread = std::this_thread::get_id();

private:
  IDispatcher* FPrevious = nullptr;
};

TEST_F(ThreadTest, StartRunsExecuteAndWaitForGivesReturnValue) {
  std::atomic<bool> ran{false};
  auto t = MakeThread([&](TFnThread& self) {
    ran = true;
    self.ReturnValue = 7;
  });
  EXPECT_FALSE(t->Started());
  t->Start();
  EXPECT_TRUE(t->Started());
  EXPECT_EQ(t->WaitFor(), 7);
  EXPECT_TRUE(ran.load());
  EXPECT_TRUE(t->Finished());
  EXPECT_EQ(t->FatalException(), nullptr);
  EXPECT_EQ(t->WaitFor(), 7);  // again: returns at once
}

TEST_F(ThreadTest, CreateStartsAThreadCreatedNotSuspended) {
  TEvent ran(true, false);
  TThreadPtr<TFnThread> t(TThread::Create<TFnThread>([&](TFnThread&) { ran.SetEvent(); }, false));
  EXPECT_TRUE(t->Started());
  EXPECT_EQ(ran.WaitFor(kLongWait), wrSignaled);
  t->WaitFor();
  // A suspended one is left alone by Create.
  TThreadPtr<TFnThread> s(TThread::Create<TFnThread>([](TFnThread&) {}, true));
  EXPECT_FALSE(s->Started());
}

TEST_F(ThreadTest, SuspendedThreadIsNotRunning) {
  std::atomic<bool> ran{false};
  auto t = MakeThread([&](TFnThread&) { ran = true; });
  EXPECT_EQ(t->ThreadID(), 0u);
  EXPECT_FALSE(t->Finished());
  EXPECT_THROW(t->WaitFor(), EThread);
  t.reset();  // Free of a never-started thread: no hang, Execute skipped
  EXPECT_FALSE(ran.load());
}

TEST_F(ThreadTest, StartTwiceRaises) {
  auto t = MakeThread([](TFnThread&) {});
  t->Start();
  EXPECT_THROW(t->Start(), EThread);
  t->WaitFor();
  EXPECT_THROW(t->Start(), EThread);
}

TEST_F(ThreadTest, ThreadIdAndCurrentThreadInsideExecute) {
  TThreadID inside = 0;
  TThread* current = nullptr;
  auto t = MakeThread([&](TFnThread&) {
    inside = TThread::CurrentThreadId();
    current = TThread::CurrentThread();
  });
  t->Start();
  const TThreadID id = t->ThreadID();
  t->WaitFor();
  EXPECT_NE(id, 0u);
  EXPECT_EQ(inside, id);
  EXPECT_NE(id, TThread::CurrentThreadId());
  EXPECT_EQ(current, t.get());
  EXPECT_EQ(TThread::CurrentThread(), nullptr);
  EXPECT_FALSE(TThread::CheckTerminated());
}

TEST_F(ThreadTest, TerminateIsSeenByTheWorker) {
  TEvent running(true, false);
  TEvent wake(false, false);
  std::atomic<bool> sawCheckTerminated{false};
  auto t = MakeThread([&](TFnThread& self) {
    running.SetEvent();
    while (!self.Terminated()) {
      if (wake.WaitFor(kLongWait) == wrTimeout) return;  // the test failed: end anyway
    }
    sawCheckTerminated = TThread::CheckTerminated();
    self.ReturnValue = 1;
  });
  t->OnTerminatedSet = [&] { wake.SetEvent(); };
  t->Start();
  ASSERT_EQ(running.WaitFor(kLongWait), wrSignaled);
  EXPECT_FALSE(t->Terminated());
  t->Terminate();
  EXPECT_TRUE(t->Terminated());
  EXPECT_EQ(t->WaitFor(), 1);
  EXPECT_EQ(t->TerminatedSetCalls.load(), 1);
  EXPECT_TRUE(sawCheckTerminated.load());
}

TEST_F(ThreadTest, ThreadTerminatedBeforeStartSkipsExecute) {
  std::atomic<bool> ran{false};
  auto t = MakeThread([&](TFnThread&) { ran = true; });
  t->Terminate();
  t->Start();
  t->WaitFor();
  EXPECT_FALSE(ran.load());
  EXPECT_TRUE(t->Finished());
}

TEST_F(ThreadTest, ExceptionInExecuteIsKeptInFatalException) {
  auto t = MakeThread([](TFnThread& self) {
    self.ReturnValue = 3;
    throw EConvertError(u"'abc' is not a valid integer value");
  });
  t->Start();
  EXPECT_EQ(t->WaitFor(), 3);
  ASSERT_NE(t->FatalException(), nullptr);
  try {
    std::rethrow_exception(t->FatalException());
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'abc' is not a valid integer value");
  } catch (...) {
    ADD_FAILURE() << "wrong exception type";
  }
}

TEST_F(ThreadTest, NonStandardExceptionIsKeptToo) {
  auto t = MakeThread([](TFnThread&) { throw 42; });
  t->Start();
  t->WaitFor();
  ASSERT_NE(t->FatalException(), nullptr);
  EXPECT_THROW(std::rethrow_exception(t->FatalException()), int);
}

TEST_F(ThreadTest, OnTerminateRunsOnTheDispatchersThread) {
  std::thread::id ranOn;
  TObject* sender = nullptr;
  bool finishedInside = true;
  auto t = MakeThread([](TFnThread&) {});
  t->OnTerminate = [&](TObject* s) {
    ranOn = std::this_thread::get_id();
    sender = s;
    finishedInside = static_cast<TThread*>(s)->Finished();
  };
  t->Start();
  t->WaitFor();  // on the UI thread: serves the OnTerminate Send
  EXPECT_EQ(ranOn, UIThread);
  EXPECT_EQ(sender, t.get());
  EXPECT_FALSE(finishedInside);  // Finished is set after OnTerminate
  EXPECT_TRUE(t->Finished());
}

TEST_F(ThreadTest, OnTerminateRunsWhenTheUIThreadPumps) {
  std::atomic<bool> terminated{false};
  std::thread::id ranOn;
  auto t = MakeThread([](TFnThread&) {});
  t->OnTerminate = [&](TObject*) {
    ranOn = std::this_thread::get_id();
    terminated = true;
  };
  t->Start();
  EXPECT_TRUE(PumpUntil([&] { return terminated.load(); }));
  t->WaitFor();
  EXPECT_EQ(ranOn, UIThread);
}

TEST_F(ThreadTest, WithoutDispatcherOnTerminateRunsInTheWorker) {
  SetMainDispatcher(nullptr);
  std::thread::id ranOn;
  std::thread::id workerId;
  auto t = MakeThread([&](TFnThread&) { workerId = std::this_thread::get_id(); });
  t->OnTerminate = [&](TObject*) { ranOn = std::this_thread::get_id(); };
  t->Start();
  t->WaitFor();
  EXPECT_EQ(ranOn, workerId);
  EXPECT_NE(ranOn, UIThread);
}

TEST_F(ThreadTest, SynchronizeWhileTheUIThreadSitsInWaitForDoesNotDeadlock) {
  std::vector<std::thread::id> ranOn;
  int total = 0;
  auto t = MakeThread([&](TFnThread& self) {
    for (int i = 1; i <= 5; ++i) {
      self.Synchronize([&, i] {
        ranOn.push_back(std::this_thread::get_id());
        total += i;
      });
    }
    self.ReturnValue = total;  // Synchronize returned: the work is done
  });
  t->OnTerminate = [&](TObject*) { ranOn.push_back(std::this_thread::get_id()); };
  t->Start();
  EXPECT_EQ(t->WaitFor(), 15);
  ASSERT_EQ(ranOn.size(), 6u);
  for (const auto& id : ranOn) EXPECT_EQ(id, UIThread);
}

TEST_F(ThreadTest, WaitForOnAnotherThreadWhileTheUIThreadPumps) {
  std::atomic<int> synced{0};
  auto t = MakeThread([&](TFnThread& self) {
    for (int i = 0; i < 3; ++i) self.Synchronize([&] { ++synced; });
    self.ReturnValue = 9;
  });
  t->Start();
  std::atomic<int> result{0};
  std::atomic<bool> waited{false};
  std::thread waiter([&] {
    result = t->WaitFor();
    waited = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return waited.load(); }));
  waiter.join();
  EXPECT_EQ(result.load(), 9);
  EXPECT_EQ(synced.load(), 3);
}

TEST_F(ThreadTest, SynchronizeReRaisesInTheWorker) {
  std::string caught;
  std::thread::id thrownOn;
  auto t = MakeThread([&](TFnThread& self) {
    try {
      self.Synchronize([&] {
        thrownOn = std::this_thread::get_id();
        throw EConvertError(u"bad value");
      });
    } catch (const EConvertError& e) {
      caught = e.what();
    }
  });
  t->Start();
  t->WaitFor();
  EXPECT_EQ(caught, "bad value");
  EXPECT_EQ(thrownOn, UIThread);
  EXPECT_EQ(t->FatalException(), nullptr);
}

TEST_F(ThreadTest, SynchronizeOnTheUIThreadRunsInline) {
  bool ran = false;
  TThread::Synchronize(nullptr, [&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_EQ(UI.PendingCount(), 0u);
}

TEST_F(ThreadTest, QueueRunsLaterOnTheUIThread) {
  std::vector<int> order;
  std::vector<std::thread::id> ranOn;
  std::vector<std::string> handled;
  TUnhandledExceptionHandler previous = SetUnhandledExceptionHandler([&](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& x) {
      handled.push_back(x.what());
    }
  });
  auto t = MakeThread([&](TFnThread& self) {
    self.Queue([&] {
      order.push_back(1);
      ranOn.push_back(std::this_thread::get_id());
    });
    TThread::Queue(nullptr, [] { throw EConvertError(u"queued failure"); });
    self.Queue([&] {
      order.push_back(2);
      ranOn.push_back(std::this_thread::get_id());
    });
  });
  t->Start();
  t->WaitFor();  // serves Sends only: the queued work is still waiting
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(UI.ProcessPending(), 3);
  SetUnhandledExceptionHandler(previous);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  for (const auto& id : ranOn) EXPECT_EQ(id, UIThread);
  EXPECT_EQ(handled, (std::vector<std::string>{"queued failure"}));
}

TEST_F(ThreadTest, QueueOnTheUIThreadRunsInlineAndForceQueueQueues) {
  int runs = 0;
  TThread::Queue(nullptr, [&] { ++runs; });
  EXPECT_EQ(runs, 1);
  TThread::ForceQueue(nullptr, [&] { ++runs; });
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(UI.ProcessPending(), 1);
  EXPECT_EQ(runs, 2);
}

// A thread that frees itself; its destructor reports to the test.
class TSelfFreeingThread : public TThread {
public:
  TSelfFreeingThread(TEvent& destroyed, std::atomic<bool>& terminatedBeforeDestroy, std::atomic<bool>& onTerminateRan)
      : TThread(true),
        FDestroyed(destroyed),
        FTerminatedBeforeDestroy(terminatedBeforeDestroy),
        FOnTerminateRan(onTerminateRan) {
    FreeOnTerminate = true;
  }
  ~TSelfFreeingThread() override {
    FTerminatedBeforeDestroy = FOnTerminateRan.load();
    FDestroyed.SetEvent();
  }

protected:
  void Execute() override { ReturnValue = 5; }

private:
  TEvent& FDestroyed;
  std::atomic<bool>& FTerminatedBeforeDestroy;
  std::atomic<bool>& FOnTerminateRan;
};

TEST_F(ThreadTest, FreeOnTerminateDeletesTheObjectAfterOnTerminate) {
  TEvent destroyed(true, false);
  std::atomic<bool> terminatedBeforeDestroy{false};
  std::atomic<bool> onTerminateRan{false};
  std::thread::id ranOn;
  auto* t = new TSelfFreeingThread(destroyed, terminatedBeforeDestroy, onTerminateRan);
  t->OnTerminate = [&](TObject*) {
    ranOn = std::this_thread::get_id();
    onTerminateRan = true;
  };
  t->Start();
  t = nullptr;  // no longer ours
  EXPECT_TRUE(PumpUntil([&] { return destroyed.WaitFor(0) == wrSignaled; }));
  EXPECT_TRUE(onTerminateRan.load());
  EXPECT_TRUE(terminatedBeforeDestroy.load());
  EXPECT_EQ(ranOn, UIThread);
}

TEST_F(ThreadTest, FreeOnTerminateWithoutOnTerminate) {
  TEvent destroyed(true, false);
  std::atomic<bool> before{false};
  std::atomic<bool> onTerminateRan{false};
  (new TSelfFreeingThread(destroyed, before, onTerminateRan))->Start();
  EXPECT_EQ(destroyed.WaitFor(kLongWait), wrSignaled);
}

// A thread whose Execute keeps using its own members until it is terminated.
class TLoopingThread : public TThread {
public:
  TLoopingThread(TEvent& running, std::atomic<bool>& exited) : TThread(false), FRunning(running), FExited(exited) {}
  ~TLoopingThread() override { FDestroyedWhileRunning = !Finished(); }
  static inline bool FDestroyedWhileRunning = false;

protected:
  void Execute() override {
    FRunning.SetEvent();
    while (!Terminated()) {
      FHistory.push_back(static_cast<int>(FHistory.size()));
      if (FHistory.size() > 1000) FHistory.clear();
      std::this_thread::yield();
    }
    FExited = true;
  }

private:
  TEvent& FRunning;
  std::atomic<bool>& FExited;
  std::vector<int> FHistory;
};

TEST_F(ThreadTest, DeletingARunningThreadTerminatesAndWaitsBeforeDestruction) {
  TEvent running(true, false);
  std::atomic<bool> exited{false};
  TLoopingThread* t = TThread::Create<TLoopingThread>(running, exited);
  ASSERT_EQ(running.WaitFor(kLongWait), wrSignaled);
  TLoopingThread::FDestroyedWhileRunning = true;
  delete t;  // ASan/UBSan would see Execute touch a destroyed FHistory
  EXPECT_TRUE(exited.load());
  EXPECT_FALSE(TLoopingThread::FDestroyedWhileRunning);
}

TEST_F(ThreadTest, UniquePtrAndBasePointerDeleteWaitToo) {
  TEvent running(true, false);
  std::atomic<bool> exited{false};
  {
    std::unique_ptr<TThread> t(TThread::Create<TLoopingThread>(running, exited));
    ASSERT_EQ(running.WaitFor(kLongWait), wrSignaled);
  }
  EXPECT_TRUE(exited.load());
}

class TRefusingThread : public TThread {
public:
  TRefusingThread() : TThread(false), FBuffer(1000, 1) { throw EArgumentException(u"refused"); }

protected:
  void Execute() override {}

private:
  std::vector<int> FBuffer;
};

TEST_F(ThreadTest, AConstructorThatRaisesLeaksNothing) {
  EXPECT_THROW(TThread::Create<TRefusingThread>(), EArgumentException);
  EXPECT_THROW(delete new TRefusingThread(), EArgumentException);
}

TEST_F(ThreadTest, FreeOfARunningThreadWithItsOwnStateWaitsFirst) {
  TEvent running(true, false);
  std::vector<int> produced;
  auto t = MakeThread([&](TFnThread& self) {
    running.SetEvent();
    while (!self.Terminated()) {
      self.Synchronize([&] { produced.push_back(1); });  // served by Free's wait
    }
  });
  bool onTerminate = false;
  t->OnTerminate = [&](TObject*) { onTerminate = true; };
  t->Start();
  ASSERT_EQ(running.WaitFor(kLongWait), wrSignaled);
  t.reset();  // Free: Terminate, WaitFor (serving Sends), delete
  EXPECT_TRUE(onTerminate);
}

TEST_F(ThreadTest, FreeOfANeverStartedThreadRunsOnTerminateButNotExecute) {
  // Deleting it starts the thread terminated, so Execute is skipped and
  // OnTerminate still comes.
  std::atomic<bool> ran{false};
  std::thread::id onTerminateOn;
  auto t = MakeThread([&](TFnThread&) { ran = true; });
  t->OnTerminate = [&](TObject*) { onTerminateOn = std::this_thread::get_id(); };
  t.reset();
  EXPECT_FALSE(ran.load());
  EXPECT_EQ(onTerminateOn, UIThread);
}

TEST_F(ThreadTest, ShuttingTheDispatcherDownReleasesAWorkerInSynchronize) {
  TEvent inSync(true, false);
  auto t = MakeThread([&](TFnThread& self) {
    inSync.SetEvent();
    self.Synchronize([] {});
  });
  t->OnTerminate = [](TObject*) {};
  t->Start();
  ASSERT_EQ(inSync.WaitFor(kLongWait), wrSignaled);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLongWait);
  while (UI.PendingCount() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  UI.Shutdown();
  t->WaitFor();
  ASSERT_NE(t->FatalException(), nullptr);
  EXPECT_THROW(std::rethrow_exception(t->FatalException()), EDispatcherShutdown);
}

TEST_F(ThreadTest, ExceptionInOnTerminateIsKept) {
  auto t = MakeThread([](TFnThread&) {});
  t->OnTerminate = [](TObject*) { throw EConvertError(u"in OnTerminate"); };
  t->Start();
  t->WaitFor();
  ASSERT_NE(t->FatalException(), nullptr);
  EXPECT_THROW(std::rethrow_exception(t->FatalException()), EConvertError);
  EXPECT_TRUE(t->Finished());
}

TEST_F(ThreadTest, WaitForFromInsideRaises) {
  bool raised = false;
  auto t = MakeThread([&](TFnThread& self) {
    try {
      self.WaitFor();
    } catch (const EThread&) {
      raised = true;
    }
  });
  t->Start();
  t->WaitFor();
  EXPECT_TRUE(raised);
}

TEST_F(ThreadTest, CheckSynchronizeServesWaitingSends) {
  EXPECT_FALSE(CheckSynchronize(0));
  std::atomic<bool> done{false};
  std::thread worker([&] {
    TThread::Synchronize(nullptr, [] {});
    done = true;
  });
  bool served = false;
  for (int i = 0; i < 100 && !served; ++i) served = CheckSynchronize(kLongWait / 100);
  worker.join();
  EXPECT_TRUE(served);
  EXPECT_TRUE(done.load());
  bool raised = false;
  std::thread([&] {
    try {
      CheckSynchronize(0);
    } catch (const EThread&) {
      raised = true;
    }
  }).join();
  EXPECT_TRUE(raised);
  SetMainDispatcher(nullptr);
  EXPECT_FALSE(CheckSynchronize(0));
}

TEST_F(ThreadTest, ManyThreadsSynchronizingAtOnce) {
  constexpr int kThreads = 6;
  int counter = 0;  // UI thread only
  std::vector<TThreadPtr<TFnThread>> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.push_back(MakeThread([&](TFnThread& self) {
      for (int n = 0; n < 20; ++n) self.Synchronize([&] { ++counter; });
    }));
  }
  for (auto& t : threads) t->Start();
  for (auto& t : threads) t->WaitFor();
  EXPECT_EQ(counter, kThreads * 20);
}

TEST(ThreadStatics, SleepAndTickCount) {
  const UInt64 before64 = TThread::GetTickCount64();
  const Cardinal before = TThread::GetTickCount();
  TThread::Sleep(30);
  const Cardinal elapsed = TThread::GetTickCount() - before;  // wraps correctly
  const UInt64 elapsed64 = TThread::GetTickCount64() - before64;
  EXPECT_GE(elapsed, 25u);
  EXPECT_GE(elapsed64, 25u);
  EXPECT_LT(elapsed64, 60000u);
}

TEST(ThreadStatics, NameThreadForDebuggingNeverRaises) {
  EXPECT_NO_THROW(TThread::NameThreadForDebugging("Quorvel.Test"));
  EXPECT_NO_THROW(TThread::NameThreadForDebugging("a name longer than fifteen bytes", TThread::CurrentThreadId()));
  EXPECT_NO_THROW(TThread::NameThreadForDebugging("nobody", 0x7FFFFFF0u));
}

}  // namespace
