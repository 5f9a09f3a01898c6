// Resources off Windows: a registry of embedded byte arrays, filled at
// start-up by RegisterResource (often through static TResourceRegistration
// objects, hence the function-local statics: no order-of-initialisation
// trouble).
#include <map>
#include <mutex>
#include <utility>

#include "rtl/Resources.h"

namespace {

struct TEntry {
  const void* Data;
  std::size_t Size;
};

using TKey = std::pair<String, String>;  // type key, name key

std::mutex& RegistryLock() {
  static std::mutex Lock;
  return Lock;
}

std::map<TKey, TEntry>& Registry() {
  static std::map<TKey, TEntry> Map;
  return Map;
}

}  // namespace

NativeUInt HInstance() { return 0; }

void RegisterResource(const TResourceId& Name, const TResourceId& Type, const void* Data, std::size_t Size) {
  std::lock_guard<std::mutex> Guard(RegistryLock());
  Registry()[TKey(Type.Key(), Name.Key())] = TEntry{Data, Size};
}

namespace rtl_resources_detail {

bool FindResourceData(NativeUInt, const TResourceId& ResName, const TResourceId& ResType, const void*& Data,
                      std::size_t& Size) {
  std::lock_guard<std::mutex> Guard(RegistryLock());
  auto It = Registry().find(TKey(ResType.Key(), ResName.Key()));
  if (It == Registry().end()) return false;
  Data = It->second.Data;
  Size = It->second.Size;
  return true;
}

}  // namespace rtl_resources_detail
