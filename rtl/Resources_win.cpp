// Resources on Windows: the module's resource section.
#include "rtl/Win32.h"

#include "rtl/Resources.h"

namespace {

// The pointer form FindResourceW expects; valid while Id lives.
LPCWSTR ResourcePointer(const TResourceId& Id) {
  if (Id.IsId()) return MAKEINTRESOURCEW(Id.Id());
  return WideCStr(Id.Name());
}

}  // namespace

NativeUInt HInstance() { return reinterpret_cast<NativeUInt>(GetModuleHandleW(nullptr)); }

namespace rtl_resources_detail {

bool FindResourceData(NativeUInt Instance, const TResourceId& ResName, const TResourceId& ResType, const void*& Data,
                      std::size_t& Size) {
  HMODULE Module = reinterpret_cast<HMODULE>(Instance);
  HRSRC Info = FindResourceW(Module, ResourcePointer(ResName), ResourcePointer(ResType));
  if (Info == nullptr) return false;
  HGLOBAL Handle = LoadResource(Module, Info);
  if (Handle == nullptr) return false;
  Data = LockResource(Handle);
  Size = SizeofResource(Module, Info);
  return Data != nullptr || Size == 0;
}

}  // namespace rtl_resources_detail
