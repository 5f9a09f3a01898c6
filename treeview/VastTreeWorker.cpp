#include "treeview/VastTreeWorker.h"

#include <algorithm>
#include <atomic>
#include <unordered_map>

#include "treeview/VastTrees.h"

namespace {

std::mutex GWorkerLock;
TWorkerThread* GWorker = nullptr;  // guarded by GWorkerLock
int GRefCount = 0;                 // guarded by GWorkerLock

std::mutex GLiveLock;
std::unordered_map<TBaseVastTree*, UInt64>& LiveTrees() {
  static std::unordered_map<TBaseVastTree*, UInt64> Trees;
  return Trees;
}
UInt64 GNextSerial = 1;  // guarded by GLiveLock

std::atomic<int> GThreadObjects{0};

}  // namespace

TWorkerThread::TWorkerThread() : TThread(false) { ++GThreadObjects; }

TWorkerThread::~TWorkerThread() {
  TerminateAndWaitFor();
  --GThreadObjects;
}

TWorkerThread* TWorkerThread::EnsureThread() {
  std::lock_guard<std::mutex> Guard(GWorkerLock);
  if (!GWorker) GWorker = TThread::Create<TWorkerThread>();
  return GWorker;
}

int TWorkerThread::ThreadObjects() { return GThreadObjects; }

bool TWorkerThread::Running() {
  std::lock_guard<std::mutex> Guard(GWorkerLock);
  return GWorker != nullptr;
}

void TWorkerThread::AddThreadReference() {
  EnsureThread();
  std::lock_guard<std::mutex> Guard(GWorkerLock);
  ++GRefCount;
}

void TWorkerThread::ReleaseThreadReference(bool ACanBlock) {
  TWorkerThread* Worker = nullptr;
  {
    std::lock_guard<std::mutex> Guard(GWorkerLock);
    if (!GWorker) return;
    if (--GRefCount > 0) return;
    Worker = GWorker;
    GWorker = nullptr;
    if (!ACanBlock) {
      // The last tree never waits for the thread, whatever it is doing (a
      // window closing must end the program): the thread ends by itself and
      // frees itself. It takes this lock before it ends (DoTerminate), so it
      // cannot be gone before Terminate has returned.
      Worker->FreeOnTerminate = true;
      Worker->Terminate();
      return;
    }
  }
  // Free serves the user-interface thread's pending calls while it waits.
  Worker->Free();
}

void TWorkerThread::AddTree(TBaseVastTree* Tree) {
  TWorkerThread* Worker = EnsureThread();
  Tree->DoStateChange({}, {tsStopValidation});
  {
    std::lock_guard<std::mutex> Guard(Worker->FListLock);
    if (std::find(Worker->FWaiterList.begin(), Worker->FWaiterList.end(), Tree) == Worker->FWaiterList.end())
      Worker->FWaiterList.push_back(Tree);
    Tree->FInWorker.store(true, std::memory_order_release);
  }
  Worker->FEvent.SetEvent();
}

void TWorkerThread::RemoveTree(TBaseVastTree* Tree) {
  TWorkerThread* Worker;
  {
    std::lock_guard<std::mutex> Guard(GWorkerLock);
    Worker = GWorker;
  }
  if (!Worker) {
    Tree->FInWorker.store(false, std::memory_order_release);
    return;
  }
  {
    std::lock_guard<std::mutex> Guard(Worker->FListLock);
    auto It = std::find(Worker->FWaiterList.begin(), Worker->FWaiterList.end(), Tree);
    if (It != Worker->FWaiterList.end()) Worker->FWaiterList.erase(It);
  }
  IVastTreeHost& Host = Tree->Host();
  const bool OnUIThread = Host.IsUIThread();
  // The worker may be waiting for this thread to run a state change or a
  // height measurement for the tree: serve those while waiting.
  while (Worker->FCurrentTree.load(std::memory_order_acquire) == Tree) {
    if (OnUIThread)
      Host.ServeUIThread(1);
    else
      TThread::Sleep(1);
  }
  Tree->FInWorker.store(false, std::memory_order_release);
}

void TWorkerThread::RegisterTree(TBaseVastTree* Tree) {
  std::lock_guard<std::mutex> Guard(GLiveLock);
  LiveTrees()[Tree] = GNextSerial++;
}

void TWorkerThread::UnregisterTree(TBaseVastTree* Tree) {
  std::lock_guard<std::mutex> Guard(GLiveLock);
  LiveTrees().erase(Tree);
}

void TWorkerThread::PostToTree(TBaseVastTree* Tree, std::function<void(TBaseVastTree*)> Work) {
  UInt64 Serial;
  {
    std::lock_guard<std::mutex> Guard(GLiveLock);
    auto It = LiveTrees().find(Tree);
    if (It == LiveTrees().end()) return;
    Serial = It->second;
  }
  Tree->Host().PostToUIThread([Tree, Serial, Work = std::move(Work)] {
    {
      std::lock_guard<std::mutex> Guard(GLiveLock);
      auto It = LiveTrees().find(Tree);
      if (It == LiveTrees().end() || It->second != Serial) return;
    }
    // Trees are destroyed on the user-interface thread, which runs this:
    // the tree cannot go away between the check and the call.
    Work(Tree);
  });
}

void TWorkerThread::DoTerminate() {
  // Runs after Execute, or instead of it for a thread told to end before it
  // ran: the lock under which ReleaseThreadReference terminates a thread
  // that frees itself is taken before the thread can end (see there).
  { std::lock_guard<std::mutex> Guard(GWorkerLock); }
  TThread::DoTerminate();
}

void TWorkerThread::Execute() {
  TThread::NameThreadForDebugging("VastTrees.TWorkerThread");
  while (!Terminated()) {
    FEvent.WaitFor(INFINITE);
    if (Terminated()) break;
    TBaseVastTree* Tree = nullptr;
    {
      // Taking a tree and making it current is one step under the lock, so
      // RemoveTree never sees a tree that is neither listed nor current.
      std::lock_guard<std::mutex> Guard(FListLock);
      if (!FWaiterList.empty()) {
        Tree = FWaiterList.front();
        FWaiterList.pop_front();
        FCurrentTree.store(Tree, std::memory_order_release);
        if (!FWaiterList.empty()) FEvent.SetEvent();
      }
    }
    if (!Tree) continue;
    bool Complete = false;
    try {
      Tree->ChangeTreeStatesAsync({tsValidating}, {tsUseCache, tsValidationNeeded});
      if (!Tree->HasState(tsStopValidation)) Complete = Tree->DoValidateCache();
    } catch (...) {
      // A failure ends this tree's validation only; the thread serves on.
      Complete = false;
    }
    try {
      // Still current: RemoveTree serves this hand-over before it returns.
      Tree->ChangeTreeStatesAsync(Complete ? TVastTreeStates{tsUseCache} : TVastTreeStates{},
                                  {tsStopValidation, tsValidating});
      PostToTree(Tree, [](TBaseVastTree* T) {
        T->UpdateEditBounds();
        // Heights measured during the walk made the result stale; the next
        // walk measures nothing and settles.
        if (T->HasState(tsValidationNeeded) && !T->HasState(tsValidating) && T->UpdateCount() == 0) T->ValidateCache();
      });
    } catch (...) {
      // The tree is shutting down: its states no longer matter and the thread serves on.
    }
    {
      std::lock_guard<std::mutex> Guard(FListLock);
      const bool Listed = std::find(FWaiterList.begin(), FWaiterList.end(), Tree) != FWaiterList.end();
      Tree->FInWorker.store(Listed, std::memory_order_release);
      FCurrentTree.store(nullptr, std::memory_order_release);
    }
  }
}
