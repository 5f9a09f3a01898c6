#include "vcl/WinDispatcher.h"

#include <exception>

#include "vcl/Messages.h"

namespace {
const wchar_t kDispatcherClass[] = L"Quorvel.Dispatcher";
constexpr UINT WM_DISPATCH_SEND = WM_QUORVEL_FIRST + 10;
constexpr UINT WM_DISPATCH_POST = WM_QUORVEL_FIRST + 11;
}  // namespace

struct TWinDispatcher::TSendItem {
  std::function<void()> Work;
  std::exception_ptr Error;
  bool Ran = false;
};

TWinDispatcher::TWinDispatcher() : FThreadId(GetCurrentThreadId()) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TWinDispatcher::WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kDispatcherClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  FWakeEvent.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  FWindow.Reset(CreateWindowExW(0, kDispatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr));
  if (!FWindow || !FWakeEvent) throw EOSError(u"Cannot create the dispatcher window");
  SetWindowLongPtrW(FWindow.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TWinDispatcher::~TWinDispatcher() {
  Shutdown();
  IDispatcher* self = this;
  if (MainDispatcher() == self) SetMainDispatcher(nullptr);
  SetWindowLongPtrW(FWindow.Get(), GWLP_USERDATA, 0);
}

bool TWinDispatcher::IsUIThread() const { return GetCurrentThreadId() == FThreadId; }

void TWinDispatcher::Send(std::function<void()> Work) {
  if (IsShutDown()) throw EDispatcherShutdown(u"The dispatcher has been shut down");
  if (IsUIThread()) {
    Work();
    return;
  }
  TSendItem item{std::move(Work), nullptr, false};
  SendMessageW(FWindow.Get(), WM_DISPATCH_SEND, 0, reinterpret_cast<LPARAM>(&item));
  if (!item.Ran) throw EDispatcherShutdown(u"The dispatcher was shut down before the work ran");
  if (item.Error) std::rethrow_exception(item.Error);
}

void TWinDispatcher::Post(std::function<void()> Work) {
  if (IsShutDown()) return;
  bool kick = false;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FPosts.push_back(std::move(Work));
    if (!FKickPending) kick = FKickPending = true;
  }
  // One message stands for every item queued until the loop runs them.
  if (kick) PostMessageW(FWindow.Get(), WM_DISPATCH_POST, 0, 0);
}

void TWinDispatcher::RunPosts() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    batch.swap(FPosts);
    FKickPending = false;
  }
  for (auto& work : batch) {
    if (IsShutDown()) break;
    try {
      work();
    } catch (...) {
      HandleUnhandledException(std::current_exception());
    }
  }
}

std::size_t TWinDispatcher::PendingPosts() const {
  std::lock_guard<std::mutex> lock(FMutex);
  return FPosts.size();
}

void TWinDispatcher::Wake() { SetEvent(FWakeEvent.Get()); }

int TWinDispatcher::ProcessSends(Cardinal TimeoutMs) {
  if (!IsUIThread()) return 0;
  const int before = FSendsRun;
  MSG msg;
  // PeekMessage delivers every sent message waiting for this thread.
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  if (FSendsRun == before) {
    HANDLE wake = FWakeEvent.Get();
    const DWORD result = MsgWaitForMultipleObjects(1, &wake, FALSE, TimeoutMs, QS_SENDMESSAGE);
    if (result == WAIT_OBJECT_0 + 1) PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
  return FSendsRun - before;
}

void TWinDispatcher::Shutdown() {
  if (FShutDown.exchange(true, std::memory_order_acq_rel)) return;
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    dropped.swap(FPosts);
  }
  SetEvent(FWakeEvent.Get());
}

LRESULT CALLBACK TWinDispatcher::WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* self = reinterpret_cast<TWinDispatcher*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
  if (self && Msg == WM_DISPATCH_SEND) {
    auto* item = reinterpret_cast<TSendItem*>(LParam);
    if (self->IsShutDown()) return 0;  // item.Ran stays false: the sender raises
    ++self->FSendsRun;
    try {
      item->Work();
    } catch (...) {
      item->Error = std::current_exception();
    }
    item->Ran = true;
    return 0;
  }
  if (self && Msg == WM_DISPATCH_POST) {
    self->RunPosts();
    return 0;
  }
  return DefWindowProcW(Wnd, Msg, WParam, LParam);
}
