// The owners of Windows handles and the boundary of Win32 callbacks.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "rtl/Win32Handles.h"
#include "vcl/Graphics.h"
#include "vcl/Messages.h"

namespace {

std::vector<int*> gFreed;
void FreeCounted(int* Handle) { gFreed.push_back(Handle); }
using TCounted = TWinHandle<int*, &FreeCounted>;

TEST(WinHandle, FreesExactlyOnceWhateverHappens) {
  int a = 0, b = 0, c = 0;
  gFreed.clear();
  {
    TCounted first(&a);
    first.Reset(&a);  // the same handle again is not freed
    EXPECT_TRUE(gFreed.empty());
    first.Reset(&b);
    EXPECT_EQ(gFreed, std::vector<int*>{&a});
    TCounted second(std::move(first));
    EXPECT_FALSE(first);
    TCounted third(&c);
    third = std::move(second);
    EXPECT_EQ(gFreed, (std::vector<int*>{&a, &c}));
    EXPECT_EQ(third.Release(), &b);
  }
  EXPECT_EQ(gFreed, (std::vector<int*>{&a, &c}));  // released: the caller frees b
  gFreed.clear();
  try {
    TCounted held(&a);
    throw std::runtime_error("on the way out");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(gFreed, std::vector<int*>{&a});
}

// DCs, GDI objects and selections taken in a scope that raises are all
// given back: every object made in the scope is gone after it.
TEST(WinHandle, NoGdiObjectLeaksWhenDrawingRaises) {
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 300; ++i) {
    HGDIOBJ made[3] = {};
    try {
      const TWindowDC screen(nullptr);
      const TMemoryDC memory(screen.Get());
      const TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), 8, 8));
      const TGdiObject brush(CreateSolidBrush(RGB(1, 2, 3)));
      made[0] = memory.Get();
      made[1] = bitmap.Get();
      made[2] = brush.Get();
      const TSelectGuard selectBitmap(memory.Get(), bitmap.Get());
      const TSavedDC saved(memory.Get());
      const TSelectGuard selectBrush(memory.Get(), brush.Get());
      PatBlt(memory.Get(), 0, 0, 8, 8, PATCOPY);
      throw std::runtime_error("drawing failed");
    } catch (const std::runtime_error&) {
    }
    for (HGDIOBJ object : made) {
      ASSERT_NE(object, nullptr);
      ASSERT_EQ(GetObjectType(object), 0u) << "object " << object << " still alive after round " << i;
    }
  }
  // Where the system counts GDI objects per process, the count is back too.
  const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (before > 0) {
    EXPECT_LE(after, before + 5);  // a few stock objects may be made on first use
  }
}

struct TVisits {
  int Count = 0;
  TCallbackGuard Guard;
};

BOOL CALLBACK RaiseOnFirstWindow(HWND, LPARAM Data) {
  auto* visits = reinterpret_cast<TVisits*>(Data);
  return visits->Guard.Run([&] {
    ++visits->Count;
    throw std::runtime_error("raised in the callback");
  });
}

// An exception in a callback stops the enumeration, stays out of Win32's
// frames and comes back once the call has returned.
TEST(CallbackGuard, ExceptionWaitsUntilTheWin32CallReturns) {
  // Two hidden top-level windows of this thread (message-only windows are
  // not enumerated).
  auto hidden = [] {
    return TWindowHandle(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                         GetModuleHandleW(nullptr), nullptr));
  };
  const TWindowHandle one = hidden(), two = hidden();
  ASSERT_TRUE(one && two);
  TVisits visits;
  const BOOL finished = EnumThreadWindows(GetCurrentThreadId(), &RaiseOnFirstWindow, reinterpret_cast<LPARAM>(&visits));
  EXPECT_FALSE(finished);
  EXPECT_EQ(visits.Count, 1);
  EXPECT_TRUE(visits.Guard.Failed());
  EXPECT_THROW(visits.Guard.RaiseIfAny(), std::runtime_error);
  EXPECT_NO_THROW(visits.Guard.RaiseIfAny());  // raised once
}

// The clipboard opened in a scope that raises is closed again, so other
// windows can use it; the memory locked in it is unlocked.
TEST(OpenClipboard, ClosedAndUnlockedWhateverHappens) {
  const TWindowHandle owner(
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(owner);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 16);
  ASSERT_NE(memory, nullptr);
  try {
    const TOpenClipboard clipboard(owner.Get());
    ASSERT_TRUE(clipboard.Opened());
    EXPECT_EQ(GetOpenClipboardWindow(), owner.Get());
    const TGlobalLock locked(memory);
    ASSERT_NE(locked.Data(), nullptr);
    EXPECT_EQ(GlobalFlags(memory) & GMEM_LOCKCOUNT, 1u);
    throw std::runtime_error("reading failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_EQ(GlobalFlags(memory) & GMEM_LOCKCOUNT, 0u);
  EXPECT_EQ(GlobalFree(memory), nullptr);
  // A null handle locks nothing.
  EXPECT_EQ(TGlobalLock(nullptr).Data(), nullptr);
}

// A COM reference is released once: when the owner goes, when Put hands
// out its address again, and never after being moved on.
struct TCountedObject {
  int Releases = 0;
  ULONG Release() { return static_cast<ULONG>(++Releases); }
};

TEST(ComPtr, ReleasesEachReferenceOnce) {
  TCountedObject a, b;
  {
    TComPtr<TCountedObject> first(&a);
    TComPtr<TCountedObject> second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(a.Releases, 0);
    *second.Put() = &b;  // as a function answering a new reference would
    EXPECT_EQ(a.Releases, 1);
    EXPECT_EQ(second.Get(), &b);
    try {
      const TComPtr<TCountedObject> third(std::move(second));
      throw std::runtime_error("on the way out");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(b.Releases, 1);
  }
  EXPECT_EQ(a.Releases, 1);
  EXPECT_EQ(b.Releases, 1);
}

}  // namespace
