#include "rtl/Threads.h"

#include "rtl/Win32.h"
#include "rtl/Win32Handles.h"

#include "rtl/Unicode.h"

TThreadID TThread::CurrentThreadId() { return static_cast<TThreadID>(::GetCurrentThreadId()); }

void TThread::NameThreadForDebugging(const AnsiString& ThreadName, TThreadID ThreadID) {
  // SetThreadDescription exists from Windows 10 1607 on; older systems keep
  // their threads unnamed.
  using TSetThreadDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  static const auto setDescription = [] {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    FARPROC proc = kernel ? ::GetProcAddress(kernel, "SetThreadDescription") : nullptr;
    return reinterpret_cast<TSetThreadDescription>(reinterpret_cast<void*>(proc));
  }();
  if (!setDescription) return;
  const String name = UTF8ToUTF16(ThreadName);
  const auto* text = reinterpret_cast<PCWSTR>(name.c_str());
  if (ThreadID == 0xFFFFFFFFu || ThreadID == ::GetCurrentThreadId()) {
    setDescription(::GetCurrentThread(), text);
    return;
  }
  if (const TKernelHandle thread(::OpenThread(THREAD_SET_LIMITED_INFORMATION, FALSE, ThreadID)); thread)
    setDescription(thread.Get(), text);
}
