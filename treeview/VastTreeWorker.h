#pragma once
// The one background thread that builds the position cache of every large
// tree. Trees wait in a list; the thread takes them one at a time and hands
// each result back on the user-interface thread.
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

#include "rtl/SyncObjs.h"
#include "rtl/Threads.h"

class TBaseVastTree;

class TWorkerThread : public TThread {
public:
  // Every tree holds one reference from construction to destruction; the
  // thread exists while any reference does. Releasing the last one ends the
  // thread: with ACanBlock the caller waits until it has ended; without (a
  // tree's destructor), the thread is told to end and frees itself.
  static void AddThreadReference();
  static void ReleaseThreadReference(bool ACanBlock);
  // Lists a tree for validation (once); wakes the thread.
  static void AddTree(TBaseVastTree* Tree);
  // Takes a tree off the list and returns once the thread has left it,
  // serving the user-interface thread's pending calls meanwhile.
  static void RemoveTree(TBaseVastTree* Tree);
  // Whether the shared thread exists (for tests and diagnostics).
  static bool Running();
  // Thread objects not yet freed, the one released to end by itself
  // included (for tests).
  static int ThreadObjects();

  // Live-tree registry: work queued for a tree runs only while it exists.
  static void RegisterTree(TBaseVastTree* Tree);
  static void UnregisterTree(TBaseVastTree* Tree);
  static void PostToTree(TBaseVastTree* Tree, std::function<void(TBaseVastTree*)> Work);

  TWorkerThread();
  ~TWorkerThread() override;

protected:
  void Execute() override;
  void DoTerminate() override;
  void TerminatedSet() override { FEvent.SetEvent(); }

private:
  static TWorkerThread* EnsureThread();

  TEvent FEvent{false, false};  // auto reset; owned by the thread object
  std::mutex FListLock;
  std::deque<TBaseVastTree*> FWaiterList;  // guarded by FListLock
  std::atomic<TBaseVastTree*> FCurrentTree{nullptr};
};
