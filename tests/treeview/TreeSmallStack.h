#pragma once
// Runs test code on a thread with a small stack.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <cstddef>
#include <functional>

#include "TreeTestSupport.h"
#ifdef _WIN32
#include "tests/support/MessagePump_win.h"
#endif

// Runs Body on a thread with a 1 MB stack (the Windows main thread's
// default), where a walk that recurses per level runs out of stack.
inline void OnSmallStack(const std::function<void()>& Body, std::size_t StackSize = 1 << 20) {
  pthread_attr_t Attr;
  ASSERT_EQ(pthread_attr_init(&Attr), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&Attr, StackSize), 0);
  pthread_t Thread;
  std::atomic<bool> Done{false};
  const std::function<void()> Run = [&] {
    Body();
    Done = true;
  };
  auto Entry = [](void* P) -> void* {
    (*static_cast<const std::function<void()>*>(P))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&Thread, &Attr, Entry, const_cast<std::function<void()>*>(&Run)), 0);
#ifdef _WIN32
  // Windows made on this thread by earlier tests may be sent messages by
  // the body (the tree's worker, for one): keep answering them meanwhile.
  testsupport::PumpMessagesUntil([&] { return Done.load(); }, 600000);
#endif
  pthread_join(Thread, nullptr);
  pthread_attr_destroy(&Attr);
}

// The invariant checker recurses per level: deep trees are checked on a
// thread with room for it. A 32-bit process cannot reserve 1 GB of stack in
// one piece (the thread is refused), and its frames are half the size.
inline void ExpectDeepTreeValid(TBaseVastTree& Tree) {
  constexpr std::size_t Room = sizeof(void*) == 4 ? std::size_t(1) << 28 : std::size_t(1) << 30;
  OnSmallStack([&] { EXPECT_TREE_VALID(Tree); }, Room);
}
