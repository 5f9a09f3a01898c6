#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "controls/OxImageDrawThread.h"
#include "rtl/Dispatcher.h"
#include "tests/support/TestSupport.h"

namespace {

// The test's own thread is the user-interface thread of a queue dispatcher.
class DrawThreadTest : public ::testing::Test {
protected:
  void SetUp() override {
    FPrevious = MainDispatcher();
    SetMainDispatcher(&UI);
    FPreviousHandler = SetUnhandledExceptionHandler([this](std::exception_ptr E) {
      try {
        std::rethrow_exception(E);
      } catch (const Exception& e) {
        Reported.push_back(e.Message());
      }
    });
  }
  void TearDown() override {
    SetUnhandledExceptionHandler(FPreviousHandler);
    SetMainDispatcher(FPrevious);
  }

  // Serves the worker's steps until Done() holds (at most 10 s).
  template <class Done>
  bool PumpUntil(Done done) {
    return testsupport::PumpUntil(UI, done, 10000);
  }
  // Serves steps for a while, answering how many ran.
  int PumpMessagesFor(int Ms) {
    int before = Steps;
    testsupport::PumpUntil(
        UI, [] { return false; }, Ms);
    return Steps - before;
  }

  std::unique_ptr<TOxImageDrawThread> MakeThread(Cardinal Delay = 1) {
    auto thread = std::make_unique<TOxImageDrawThread>(true);
    thread->SetDelay(Delay);
    thread->OnDraw = [this, t = thread.get()](TObject* Sender) {
      EXPECT_EQ(Sender, t);
      EXPECT_EQ(std::this_thread::get_id(), UIThread);
      ++Steps;
    };
    return thread;
  }

  TQueueDispatcher UI;
  const std::thread::id UIThread = std::this_thread::get_id();
  int Steps = 0;
  std::vector<String> Reported;

private:
  IDispatcher* FPrevious = nullptr;
  TUnhandledExceptionHandler FPreviousHandler;
};

TEST_F(DrawThreadTest, StepsRunOnTheUserInterfaceThreadOnceUnpaused) {
  auto thread = MakeThread();
  EXPECT_FALSE(thread->Started());
  EXPECT_FALSE(thread->Paused());
  thread->SetPaused(false);  // starts the thread created suspended
  EXPECT_TRUE(thread->Started());
  EXPECT_TRUE(PumpUntil([&] { return Steps >= 5; }));
}

TEST_F(DrawThreadTest, PauseGateStopsTheStepsAndOpensAgain) {
  auto thread = MakeThread();
  thread->SetPaused(true);
  EXPECT_TRUE(thread->Started() == false);  // a paused thread does not start
  thread->SetPaused(true);                  // twice: the gate is entered once
  thread->SetPaused(false);
  ASSERT_TRUE(PumpUntil([&] { return Steps >= 3; }));
  thread->SetPaused(true);
  PumpMessagesFor(50);  // at most one step that was already past the gate
  EXPECT_EQ(PumpMessagesFor(150), 0);
  thread->SetPaused(false);
  thread->SetPaused(false);
  const int before = Steps;
  EXPECT_TRUE(PumpUntil([&] { return Steps >= before + 3; }));
}

TEST_F(DrawThreadTest, FreeingAPausedThreadReturns) {
  auto thread = MakeThread();
  thread->SetPaused(false);
  ASSERT_TRUE(PumpUntil([&] { return Steps >= 1; }));
  thread->SetPaused(true);
  PumpMessagesFor(20);
  thread.reset();  // opens the gate and waits for the worker
  SUCCEED();
}

TEST_F(DrawThreadTest, FreeingWhileAStepWaitsDoesNotDeadlock) {
  auto thread = MakeThread();
  thread->SetPaused(false);
  ASSERT_TRUE(PumpUntil([&] { return Steps >= 1; }));
  // Let the worker block in its synchronous step while nobody serves it (on
  // a busy machine it may take a while to get there: wait for it, bounded).
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (UI.PendingCount() == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_GT(UI.PendingCount(), 0u);
  const int before = Steps;
  thread.reset();  // serves the pending step while waiting; the step draws nothing
  EXPECT_EQ(Steps, before);
  EXPECT_EQ(UI.PendingCount(), 0u);
}

TEST_F(DrawThreadTest, FreeingAThreadNeverStartedReturns) {
  auto thread = MakeThread();
  thread.reset();
  auto paused = MakeThread();
  paused->SetPaused(true);
  paused.reset();
  EXPECT_EQ(Steps, 0);
}

TEST_F(DrawThreadTest, TerminatingAPausedThreadLetsItEnd) {
  auto thread = MakeThread();
  thread->SetPaused(false);
  ASSERT_TRUE(PumpUntil([&] { return Steps >= 1; }));
  thread->SetPaused(true);
  thread->Terminate();
  EXPECT_FALSE(thread->Paused());
  EXPECT_TRUE(PumpUntil([&] { return thread->Finished(); }));
}

TEST_F(DrawThreadTest, AFailingStepIsReportedOnceAndTheAnimationGoesOn) {
  auto thread = MakeThread();
  int calls = 0;
  bool failing = true;
  thread->OnDraw = [&](TObject*) {
    ++calls;
    if (failing) throw EOXCLException(u"cannot draw");
    ++Steps;
  };
  thread->SetPaused(false);
  ASSERT_TRUE(PumpUntil([&] { return calls >= 5; }));
  EXPECT_EQ(Reported, std::vector<String>{u"cannot draw"});
  failing = false;
  ASSERT_TRUE(PumpUntil([&] { return Steps >= 3; }));
  failing = true;
  const int now = calls;
  ASSERT_TRUE(PumpUntil([&] { return calls >= now + 2; }));
  EXPECT_EQ(Reported.size(), 2u);  // a new run of failures is reported again
  EXPECT_FALSE(thread->Finished());
}

TEST_F(DrawThreadTest, NamesForDebuggers) {
  TOxImageDrawThread thread(true);
  EXPECT_EQ(thread.ThreadName(), u"TOxImageDrawThread");
  thread.SetThreadName(u"Busy bar");
  EXPECT_EQ(thread.ThreadName(), u"Busy bar {TOxImageDrawThread}");
  thread.TerminateAndWaitFor();
}

}  // namespace
