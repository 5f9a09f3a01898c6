#include "rtl/Dispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "rtl/SyncObjs.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr Cardinal kLongWait = 10000;

// Pumps the dispatcher on this (its own) thread until done() or a bounded time.
using testsupport::PumpUntil;

// Waits (without pumping) until the dispatcher holds n items.
bool WaitForPending(const TQueueDispatcher& d, std::size_t n) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLongWait);
  while (d.PendingCount() < n) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

// Collects what posted work lets escape, and restores the previous handler.
struct HandlerCapture {
  std::vector<std::string> messages;
  TUnhandledExceptionHandler previous;
  HandlerCapture() {
    previous = SetUnhandledExceptionHandler([this](std::exception_ptr e) {
      try {
        std::rethrow_exception(e);
      } catch (const std::exception& x) {
        messages.push_back(x.what());
      }
    });
  }
  ~HandlerCapture() { SetUnhandledExceptionHandler(previous); }
};

TEST(QueueDispatcher, OwnerIsTheUIThread) {
  TQueueDispatcher d;
  EXPECT_TRUE(d.IsUIThread());
  bool other = true;
  std::thread([&] { other = d.IsUIThread(); }).join();
  EXPECT_FALSE(other);
}

TEST(QueueDispatcher, PostRunsOnlyWhenTheUIThreadProcesses) {
  TQueueDispatcher d;
  const auto ui = std::this_thread::get_id();
  std::vector<int> order;
  std::thread::id ranOn;
  std::thread([&] {
    d.Post([&] { order.push_back(1); });
    d.Post([&] {
      order.push_back(2);
      ranOn = std::this_thread::get_id();
    });
  }).join();
  d.Post([&] { order.push_back(3); });  // from the UI thread: queued too
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(d.PendingCount(), 3u);
  EXPECT_EQ(d.ProcessPending(), 3);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(ranOn, ui);
  EXPECT_EQ(d.ProcessPending(), 0);
}

TEST(QueueDispatcher, WorkQueuedWhileProcessingWaitsForTheNextRound) {
  TQueueDispatcher d;
  int runs = 0;
  d.Post([&] {
    ++runs;
    d.Post([&] { ++runs; });
  });
  EXPECT_EQ(d.ProcessPending(), 1);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(d.ProcessPending(), 1);
  EXPECT_EQ(runs, 2);
}

TEST(QueueDispatcher, SendFromTheUIThreadRunsInline) {
  TQueueDispatcher d;
  bool ran = false;
  d.Send([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_EQ(d.PendingCount(), 0u);
  EXPECT_THROW(d.Send([] { throw EConvertError(u"inline"); }), EConvertError);
}

TEST(QueueDispatcher, SendWaitsUntilTheUIThreadRanTheWork) {
  TQueueDispatcher d;
  const auto ui = std::this_thread::get_id();
  std::thread::id ranOn;
  int value = 0;
  std::atomic<bool> sent{false};
  int seenAfterSend = -1;
  std::thread worker([&] {
    d.Send([&] {
      ranOn = std::this_thread::get_id();
      value = 42;
    });
    seenAfterSend = value;  // Send returned: the work has run
    sent = true;
  });
  ASSERT_TRUE(WaitForPending(d, 1));
  EXPECT_FALSE(sent.load());
  EXPECT_EQ(d.ProcessPending(), 1);
  worker.join();
  EXPECT_EQ(ranOn, ui);
  EXPECT_EQ(seenAfterSend, 42);
}

TEST(QueueDispatcher, ExceptionOfSentWorkIsRaisedInTheSender) {
  TQueueDispatcher d;
  std::string caught;
  bool rightType = false;
  std::thread::id thrownOn;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    try {
      d.Send([&] {
        thrownOn = std::this_thread::get_id();
        throw EConvertError(u"'x' is not a valid integer value");
      });
    } catch (const EConvertError& e) {
      rightType = true;
      caught = e.what();
    } catch (...) {
      // Any other type leaves rightType false, which the test checks.
    }
    done = true;
  });
  EXPECT_TRUE(PumpUntil(d, [&] { return done.load(); }));
  worker.join();
  EXPECT_EQ(thrownOn, std::this_thread::get_id());
  EXPECT_TRUE(rightType);
  EXPECT_EQ(caught, "'x' is not a valid integer value");
}

TEST(QueueDispatcher, ExceptionOfPostedWorkGoesToTheHandler) {
  HandlerCapture capture;
  TQueueDispatcher d;
  bool after = false;
  d.Post([] { throw EConvertError(u"posted failure"); });
  d.Post([&] { after = true; });
  EXPECT_NO_THROW(EXPECT_EQ(d.ProcessPending(), 2));
  EXPECT_TRUE(after);
  ASSERT_EQ(capture.messages.size(), 1u);
  EXPECT_EQ(capture.messages[0], "posted failure");
}

TEST(QueueDispatcher, AHandlerThatRaisesIsIgnored) {
  TUnhandledExceptionHandler previous =
      SetUnhandledExceptionHandler([](std::exception_ptr) { throw EAbort(u"handler failed"); });
  TQueueDispatcher d;
  d.Post([] { throw EConvertError(u"posted failure"); });
  EXPECT_NO_THROW(d.ProcessPending());
  SetUnhandledExceptionHandler(previous);
}

TEST(QueueDispatcher, ManySendersAllComplete) {
  TQueueDispatcher d;
  constexpr int kThreads = 8;
  constexpr int kSends = 50;
  int counter = 0;  // touched on the UI thread only
  std::atomic<int> finished{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&] {
      for (int i = 0; i < kSends; ++i) d.Send([&] { ++counter; });
      ++finished;
    });
  }
  EXPECT_TRUE(PumpUntil(d, [&] { return finished.load() == kThreads; }));
  for (auto& w : workers) w.join();
  EXPECT_EQ(counter, kThreads * kSends);
}

TEST(QueueDispatcher, ProcessSendsRunsSendsButLeavesPosts) {
  TQueueDispatcher d;
  bool posted = false;
  bool sentRan = false;
  d.Post([&] { posted = true; });
  std::thread worker([&] { d.Send([&] { sentRan = true; }); });
  ASSERT_TRUE(WaitForPending(d, 2));
  EXPECT_EQ(d.ProcessSends(kLongWait), 1);
  worker.join();
  EXPECT_TRUE(sentRan);
  EXPECT_FALSE(posted);
  EXPECT_EQ(d.ProcessPending(), 1);
  EXPECT_TRUE(posted);
}

TEST(QueueDispatcher, ProcessSendsWaitsForASendToArrive) {
  TQueueDispatcher d;
  bool ran = false;
  std::thread worker([&] { d.Send([&] { ran = true; }); });
  int count = 0;
  for (int round = 0; round < 100 && count == 0; ++round) count = d.ProcessSends(kLongWait / 100);
  worker.join();
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(ran);
}

TEST(QueueDispatcher, ProcessSendsElsewhereDoesNothing) {
  TQueueDispatcher d;
  int count = -1;
  std::thread([&] { count = d.ProcessSends(kLongWait); }).join();
  EXPECT_EQ(count, 0);
}

TEST(QueueDispatcher, WakeEndsAWaitAndIsNotLost) {
  // A wait that the Wake did not end would last the whole kLongWait.
  const auto quick = [](auto&& wait) {
    const auto start = std::chrono::steady_clock::now();
    wait();
    return std::chrono::steady_clock::now() - start < std::chrono::milliseconds(kLongWait / 2);
  };
  TQueueDispatcher d;
  d.Wake();  // nobody waits yet: kept for the next wait
  EXPECT_TRUE(quick([&] { EXPECT_EQ(d.ProcessSends(kLongWait), 0); }));
  TEvent waking(true, false);
  std::thread other([&] {
    waking.SetEvent();
    d.Wake();
  });
  ASSERT_EQ(waking.WaitFor(kLongWait), wrSignaled);
  EXPECT_TRUE(quick([&] { EXPECT_EQ(d.WaitAndProcess(kLongWait), 0); }));
  other.join();
}

TEST(QueueDispatcher, WaitServingSendsReturnsWhenDone) {
  TQueueDispatcher d;
  std::atomic<bool> done{false};
  int served = 0;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) d.Send([&] { ++served; });
    done = true;
    d.Wake();
  });
  EXPECT_TRUE(d.WaitServingSends([&] { return done.load(); }, kLongWait));
  worker.join();
  EXPECT_EQ(served, 3);
  EXPECT_FALSE(d.WaitServingSends([] { return false; }, 10));
}

TEST(QueueDispatcher, WaitAndProcessTimesOutEmpty) {
  TQueueDispatcher d;
  EXPECT_EQ(d.WaitAndProcess(10), 0);
}

TEST(QueueDispatcher, ProcessingFromAnotherThreadRaises) {
  TQueueDispatcher d;
  bool raisedProcess = false;
  bool raisedWait = false;
  std::thread([&] {
    try {
      d.ProcessPending();
    } catch (const EThread&) {
      raisedProcess = true;
    }
    try {
      d.WaitAndProcess(0);
    } catch (const EThread&) {
      raisedWait = true;
    }
  }).join();
  EXPECT_TRUE(raisedProcess);
  EXPECT_TRUE(raisedWait);
}

TEST(QueueDispatcher, ShutdownReleasesAWaitingSendWithAnError) {
  TQueueDispatcher d;
  bool released = false;
  bool ran = false;
  std::thread worker([&] {
    try {
      d.Send([&] { ran = true; });
    } catch (const EDispatcherShutdown&) {
      released = true;
    }
  });
  ASSERT_TRUE(WaitForPending(d, 1));
  d.Shutdown();
  worker.join();
  EXPECT_TRUE(released);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(d.IsShutDown());
}

TEST(QueueDispatcher, AfterShutdownSendRaisesAndPostIsDropped) {
  TQueueDispatcher d;
  bool posted = false;
  d.Post([&] { posted = true; });
  d.Shutdown();
  d.Shutdown();  // idempotent
  d.Post([&] { posted = true; });
  EXPECT_EQ(d.PendingCount(), 0u);
  EXPECT_EQ(d.ProcessPending(), 0);
  EXPECT_FALSE(posted);
  EXPECT_THROW(d.Send([] {}), EDispatcherShutdown);
  bool raised = false;
  std::thread([&] {
    try {
      d.Send([] {});
    } catch (const EDispatcherShutdown&) {
      raised = true;
    }
  }).join();
  EXPECT_TRUE(raised);
  EXPECT_EQ(d.ProcessSends(0), 0);
}

TEST(QueueDispatcher, DestroyingItReleasesWaitingSends) {
  auto d = std::make_unique<TQueueDispatcher>();
  constexpr int kWorkers = 3;
  std::atomic<int> released{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < kWorkers; ++i) {
    workers.emplace_back([&, dispatcher = d.get()] {
      try {
        dispatcher->Send([] {});
      } catch (const EDispatcherShutdown&) {
        ++released;
      }
    });
  }
  ASSERT_TRUE(WaitForPending(*d, kWorkers));
  d.reset();
  for (auto& w : workers) w.join();
  EXPECT_EQ(released.load(), kWorkers);
}

TEST(MainDispatcher, IsSetAndClearedByTheDestructor) {
  IDispatcher* before = MainDispatcher();
  {
    TQueueDispatcher d;
    SetMainDispatcher(&d);
    EXPECT_EQ(MainDispatcher(), &d);
  }
  EXPECT_EQ(MainDispatcher(), nullptr);
  TQueueDispatcher other;
  SetMainDispatcher(&other);
  { TQueueDispatcher unrelated; }
  EXPECT_EQ(MainDispatcher(), &other);
  SetMainDispatcher(before);
}

}  // namespace
