#include "rtl/SyncObjs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Bounded waits only: a test that goes wrong fails after this long instead of
// hanging the run.
constexpr Cardinal kLongWait = 10000;

TEST(CriticalSection, IsRecursiveForItsHolder) {
  TCriticalSection cs;
  cs.Enter();
  cs.Enter();
  EXPECT_TRUE(cs.TryEnter());
  EXPECT_TRUE(cs.HeldByCurrentThread());
  cs.Leave();
  cs.Leave();
  EXPECT_TRUE(cs.HeldByCurrentThread());
  cs.Leave();
  EXPECT_FALSE(cs.HeldByCurrentThread());
}

TEST(CriticalSection, TryEnterFailsWhileAnotherThreadHoldsIt) {
  TCriticalSection cs;
  cs.Acquire();
  bool gotIt = true;
  std::thread([&] { gotIt = cs.TryEnter(); }).join();
  EXPECT_FALSE(gotIt);
  cs.Release();
  std::thread([&] {
    gotIt = cs.TryEnter();
    if (gotIt) cs.Leave();
  }).join();
  EXPECT_TRUE(gotIt);
}

TEST(CriticalSection, LeaveByANonHolderRaisesAndKeepsTheLock) {
  TCriticalSection cs;
  EXPECT_THROW(cs.Leave(), ESyncObjectException);  // nobody holds it
  cs.Enter();
  bool raised = false;
  std::thread([&] {
    try {
      cs.Leave();
    } catch (const ESyncObjectException&) {
      raised = true;
    }
  }).join();
  EXPECT_TRUE(raised);
  EXPECT_TRUE(cs.HeldByCurrentThread());
  cs.Leave();
}

TEST(CriticalSection, ExcludesOtherThreads) {
  TCriticalSection cs;
  long counter = 0;  // deliberately not atomic
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        if (i % 2) {
          TCriticalSectionGuard guard(cs);
          ++counter;
        } else {
          std::lock_guard<TCriticalSection> guard(cs);  // standard Lockable
          ++counter;
        }
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(counter, 80000);
}

TEST(CriticalSection, GuardLeavesWhenAnExceptionPasses) {
  TCriticalSection cs;
  try {
    TCriticalSectionGuard guard(cs);
    throw EConvertError(u"boom");
  } catch (const EConvertError&) {
  }
  EXPECT_FALSE(cs.HeldByCurrentThread());
  bool gotIt = false;
  std::thread([&] {
    gotIt = cs.TryEnter();
    if (gotIt) cs.Leave();
  }).join();
  EXPECT_TRUE(gotIt);
}

TEST(Event, DefaultIsManualResetAndNotSignalled) {
  TEvent event;
  EXPECT_TRUE(event.ManualReset());
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
  TSimpleEvent simple;
  EXPECT_TRUE(simple.ManualReset());
  EXPECT_EQ(simple.WaitFor(0), wrTimeout);
}

TEST(Event, ManualResetStaysSignalledUntilReset) {
  TEvent event(true, true);
  EXPECT_EQ(event.WaitFor(0), wrSignaled);
  EXPECT_EQ(event.WaitFor(INFINITE), wrSignaled);
  event.ResetEvent();
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
  event.SetEvent();
  EXPECT_EQ(event.WaitFor(0), wrSignaled);
  EXPECT_EQ(event.WaitFor(0), wrSignaled);
}

TEST(Event, AutoResetIsConsumedByOneWait) {
  TEvent event(false, true);
  EXPECT_FALSE(event.ManualReset());
  EXPECT_EQ(event.WaitFor(0), wrSignaled);
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
  event.SetEvent();
  event.SetEvent();  // already signalled: nothing more
  EXPECT_EQ(event.WaitFor(0), wrSignaled);
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
}

TEST(Event, TimesOutWhenNobodySetsIt) {
  TEvent manual(true, false);
  TEvent automatic(false, false);
  EXPECT_EQ(manual.WaitFor(20), wrTimeout);
  EXPECT_EQ(automatic.WaitFor(20), wrTimeout);
}

TEST(Event, SetEventReleasesAThreadWaitingForEver) {
  TEvent event(false, false);
  TEvent waiting(true, false);
  std::atomic<int> result{-1};
  std::thread waiter([&] {
    waiting.SetEvent();
    result = event.WaitFor(INFINITE);
  });
  ASSERT_EQ(waiting.WaitFor(kLongWait), wrSignaled);
  event.SetEvent();
  waiter.join();
  EXPECT_EQ(result.load(), wrSignaled);
  EXPECT_EQ(event.WaitFor(0), wrTimeout);  // the waiter consumed it
}

TEST(Event, ManualResetReleasesEveryWaiter) {
  TEvent event(true, false);
  std::atomic<int> signalled{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 6; ++i) {
    waiters.emplace_back([&] {
      if (event.WaitFor(kLongWait) == wrSignaled) ++signalled;
    });
  }
  event.SetEvent();
  for (auto& t : waiters) t.join();
  EXPECT_EQ(signalled.load(), 6);
}

// Each SetEvent of an auto-reset event lets exactly one thread through: a
// waiter, or the next thread to wait when nobody waits yet. A Set that let
// two through would leave a later Set with nobody to release, so the event
// would end up signalled.
TEST(Event, AutoResetLetsOneThreadThroughPerSet) {
  TEvent event(false, false);
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  constexpr int kWaiters = 4;
  for (int i = 0; i < kWaiters; ++i) {
    waiters.emplace_back([&] {
      if (event.WaitFor(kLongWait) == wrSignaled) ++released;
    });
  }
  for (int k = 1; k <= kWaiters; ++k) {
    event.SetEvent();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLongWait);
    while (released.load() < k && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_EQ(released.load(), k);
  }
  for (auto& t : waiters) t.join();
  EXPECT_EQ(released.load(), kWaiters);
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
}

TEST(Event, NamedEventsAreRefused) {
  EXPECT_NO_THROW(TEvent(nullptr, false, false, u""));
  EXPECT_THROW(TEvent(nullptr, true, false, u"Global\\Quorvel"), ESyncObjectException);
}

}  // namespace
