// The system's side of the clipboard formats where there is no system
// clipboard: a process table of registered names, numbered as the system
// numbers them.
#include <unistd.h>

#include <mutex>
#include <vector>

#include "rtl/SysUtils.h"
#include "treeview/VastTreeClipboard.h"

namespace {

constexpr Word FirstRegisteredFormat = 0xC000;

std::mutex& NamesLock() {
  static std::mutex M;
  return M;
}
std::vector<String>& Names() {
  static std::vector<String> List;
  return List;
}

}  // namespace

Word RegisterSystemClipboardFormat(const String& Name) {
  const std::lock_guard Lock(NamesLock());
  auto& List = Names();
  for (std::size_t I = 0; I < List.size(); ++I)
    if (SameText(List[I], Name)) return static_cast<Word>(FirstRegisteredFormat + I);
  List.push_back(Name);
  return static_cast<Word>(FirstRegisteredFormat + List.size() - 1);
}

String SystemClipboardFormatName(Word Format) {
  const std::lock_guard Lock(NamesLock());
  const auto& List = Names();
  if (Format < FirstRegisteredFormat || Format - FirstRegisteredFormat >= static_cast<Integer>(List.size()))
    return String();
  return List[Format - FirstRegisteredFormat];
}

Cardinal CurrentProcessId() { return static_cast<Cardinal>(getpid()); }
