#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "rtl/Threads.h"
#include "vcl/Forms.h"
#include "vcl/WinDispatcher.h"

namespace {

class WinDispatcherTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    ASSERT_EQ(MainDispatcher(), Application->Dispatcher());
  }
};

class TSyncWorker : public TThread {
public:
  TSyncWorker(int Count, DWORD UIThread) : TThread(true), FCount(Count), FUIThread(UIThread) {}
  int Ran = 0;        // touched on the user-interface thread only
  int OffThread = 0;  // calls that did not run there
  std::atomic<int> Done{0};

protected:
  void Execute() override {
    for (int i = 0; i < FCount; ++i) {
      Synchronize([this] {
        ++Ran;
        if (GetCurrentThreadId() != FUIThread) ++OffThread;
      });
      Done.fetch_add(1);
    }
  }

private:
  int FCount;
  DWORD FUIThread;
};

TEST_F(WinDispatcherTest, TenThousandSynchronizesWhileTheUIThreadWaits) {
  TThreadPtr<TSyncWorker> worker(new TSyncWorker(10000, GetCurrentThreadId()));
  worker->Start();
  // WaitFor on the user-interface thread serves the worker's Sends.
  worker->WaitFor();
  EXPECT_EQ(worker->Ran, 10000);
  EXPECT_EQ(worker->OffThread, 0);
  EXPECT_EQ(worker->Done.load(), 10000);
  EXPECT_EQ(worker->FatalException(), nullptr);
}

TEST_F(WinDispatcherTest, SendRaisesTheWorksExceptionInTheSender) {
  IDispatcher* dispatcher = MainDispatcher();
  std::atomic<bool> finished{false};
  String message;
  bool onUIThread = false;
  std::thread sender([&] {
    try {
      dispatcher->Send([&] {
        onUIThread = dispatcher->IsUIThread();
        throw EConvertError(u"from the UI thread");
      });
    } catch (const EConvertError& e) {
      message = e.Message();
    }
    EXPECT_EQ(dispatcher->ProcessSends(0), 0);  // not the UI thread
    finished = true;
    dispatcher->Wake();
  });
  EXPECT_TRUE(dispatcher->WaitServingSends([&] { return finished.load(); }, 10000));
  sender.join();
  EXPECT_TRUE(onUIThread);
  EXPECT_EQ(message, u"from the UI thread");
}

TEST_F(WinDispatcherTest, PostedWorkRunsInOrderInTheMessageLoop) {
  IDispatcher* dispatcher = MainDispatcher();
  std::vector<int> order;
  std::vector<String> errors;
  Application->OnException = [&](TObject*, Exception& E) { errors.push_back(E.Message()); };
  std::thread poster([&] {
    for (int i = 0; i < 5; ++i) dispatcher->Post([&order, i] { order.push_back(i); });
    dispatcher->Post([] { throw EConvertError(u"posted failure"); });
    dispatcher->Post([&order] { order.push_back(99); });
  });
  poster.join();
  EXPECT_TRUE(order.empty());
  // ProcessSends leaves posted work to the loop.
  dispatcher->ProcessSends(0);
  EXPECT_TRUE(order.empty());
  Application->ProcessMessages();
  Application->OnException = nullptr;
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 99}));
  EXPECT_EQ(errors, std::vector<String>{u"posted failure"});
}

TEST_F(WinDispatcherTest, WakeEndsAWaitEarlyAndIsNotLost) {
  IDispatcher* dispatcher = MainDispatcher();
  dispatcher->Wake();  // nobody waits yet
  const DWORD start = GetTickCount();
  EXPECT_EQ(dispatcher->ProcessSends(5000), 0);
  std::thread waker([&] {
    Sleep(50);
    dispatcher->Wake();
  });
  EXPECT_EQ(dispatcher->ProcessSends(5000), 0);
  waker.join();
  EXPECT_LT(GetTickCount() - start, 4000u);
}

TEST_F(WinDispatcherTest, ShutdownReleasesSenders) {
  TWinDispatcher own;
  int ran = 0;
  own.Send([&] { ++ran; });  // the UI thread runs it at once
  EXPECT_EQ(ran, 1);
  own.Post([&] { ++ran; });
  own.Shutdown();
  EXPECT_EQ(own.PendingPosts(), 0u);
  bool raised = false;
  std::thread sender([&] {
    try {
      own.Send([&] { ++ran; });
    } catch (const EDispatcherShutdown&) {
      raised = true;
    }
  });
  sender.join();
  EXPECT_TRUE(raised);
  Application->ProcessMessages();
  EXPECT_EQ(ran, 1);
}

}  // namespace
