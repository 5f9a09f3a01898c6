#include "rtl/ObservableMembers.h"

#include <map>
#include <utility>

namespace {

using TKey = std::pair<String, String>;  // class, framework

// Built on first use, so a registration made by another unit's start-up
// finds it ready and one removed at exit still finds it alive.
std::map<TKey, String>& Registrations() {
  static std::map<TKey, String> Map;
  return Map;
}

}  // namespace

void TObservableMembers::RegisterValuePropertyName(const String& AClassName, const String& APropertyName,
                                                   const String& AFrameworkName) {
  Registrations()[{AClassName, AFrameworkName}] = APropertyName;
}

void TObservableMembers::UnregisterValuePropertyName(const String& AClassName) {
  auto& Map = Registrations();
  for (auto It = Map.begin(); It != Map.end();) It = It->first.first == AClassName ? Map.erase(It) : std::next(It);
}

String TObservableMembers::ValuePropertyName(const String& AClassName, const String& AFrameworkName) {
  const auto& Map = Registrations();
  const auto It = Map.find({AClassName, AFrameworkName});
  return It == Map.end() ? String() : It->second;
}
