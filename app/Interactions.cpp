#include "app/Interactions.h"

#include <shellapi.h>

#include <vector>

#include "rtl/SysUtils.h"
#include "rtl/Win32Handles.h"
#include "vcl/Forms.h"

namespace {

class TSystemInteractions : public IInteractions {
public:
  bool OpenDocument(HWND Owner, const String& Target) override {
    const HINSTANCE r = ::ShellExecuteW(Owner, L"open", WideCStr(Target), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(r) > 32;
  }

  bool StartProcess(const String& CommandLine, String& ErrorText) override {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNOACTIVATE;
    PROCESS_INFORMATION pi{};
    // CreateProcessW may write into the command line: give it a copy.
    std::vector<wchar_t> line(CommandLine.begin(), CommandLine.end());
    line.push_back(0);
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                          nullptr, nullptr, &si, &pi)) {
      ErrorText = SysErrorMessage(static_cast<Integer>(::GetLastError()));
      return false;
    }
    // We neither wait for the program nor watch it.
    const TKernelHandle thread(pi.hThread), process(pi.hProcess);
    return true;
  }

  int MessageBox(HWND Owner, const String& Text, const String& Caption, UINT Flags) override {
    return ::MessageBoxW(Owner, WideCStr(Text), WideCStr(Caption), Flags);
  }
};

TSystemInteractions& System() {
  static TSystemInteractions Instance;
  return Instance;
}

IInteractions* Replacement = nullptr;

}  // namespace

IInteractions& Interactions() { return Replacement ? *Replacement : static_cast<IInteractions&>(System()); }

IInteractions* SetInteractions(IInteractions* Service) {
  IInteractions* previous = Replacement;
  Replacement = Service;
  return previous;
}
