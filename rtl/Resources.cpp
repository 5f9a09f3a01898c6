#include "rtl/Resources.h"

#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"

namespace {

bool IsIntResource(const void* P) { return (reinterpret_cast<std::uintptr_t>(P) >> 16) == 0; }

}  // namespace

TResourceId::TResourceId(const String& AName) {
  if (AName.size() > 1 && AName[0] == u'#') {
    Int64 Value = 0;
    bool Digits = true;
    for (std::size_t I = 1; I < AName.size() && Digits; ++I) {
      if (AName[I] < u'0' || AName[I] > u'9')
        Digits = false;
      else
        Value = Value * 10 + (AName[I] - u'0');
      if (Value > 0xFFFF) Digits = false;
    }
    if (Digits) {
      FIsId = true;
      FId = static_cast<Word>(Value);
      return;
    }
  }
  FName = AName;
}

TResourceId::TResourceId(const Char* AName)
    : TResourceId(IsIntResource(AName) ? TResourceId(static_cast<int>(reinterpret_cast<std::uintptr_t>(AName)))
                                       : TResourceId(String(AName))) {}

TResourceId::TResourceId(const char* AName)
    : TResourceId(IsIntResource(AName) ? TResourceId(static_cast<int>(reinterpret_cast<std::uintptr_t>(AName)))
                                       : TResourceId(UTF8ToUTF16(AName))) {}

#ifdef _WIN32
TResourceId::TResourceId(const wchar_t* AName) : TResourceId(reinterpret_cast<const Char*>(AName)) {}
#endif

String TResourceId::ToString() const { return FIsId ? IntToStr(static_cast<Integer>(FId)) : FName; }

String TResourceId::Key() const { return FIsId ? u"#" + IntToStr(static_cast<Integer>(FId)) : AnsiUpperCase(FName); }

bool ResourceExists(NativeUInt Instance, const TResourceId& ResName, const TResourceId& ResType) {
  const void* Data = nullptr;
  std::size_t Size = 0;
  return rtl_resources_detail::FindResourceData(Instance, ResName, ResType, Data, Size);
}

TResourceStream::TResourceStream(NativeUInt Instance, const TResourceId& ResName, const TResourceId& ResType) {
  const void* Data = nullptr;
  std::size_t Size = 0;
  if (!rtl_resources_detail::FindResourceData(Instance, ResName, ResType, Data, Size))
    throw EResNotFound(u"Resource " + ResName.ToString() + u" not found");
  // The data is never written: Write refuses.
  SetPointer(const_cast<void*>(Data), static_cast<Int64>(Size));
}

Integer TResourceStream::Write(const void*, Integer) {
  throw EStreamError(u"Can't write to a read-only resource stream");
}
