#pragma once
// Read-only streams over resources of a module, as Classes.TResourceStream.
//
// On Windows the resource comes from the module's resource section
// (FindResourceW / LoadResource / LockResource, Resources_win.cpp). Elsewhere
// there are no resource sections: a program registers its embedded byte
// arrays under a name and a type at start-up (RegisterResource, or a static
// TResourceRegistration object), and the stream reads them from that
// registry (Resources_posix.cpp); the instance argument is then ignored.
//
//   TResourceStream Res(HInstance(), u"FR", RT_RCDATA);
//   List.LoadFromStream(&Res);
//
// Names and types compare without regard to case, as on Windows; "#12" names
// the number 12. A missing resource raises EResNotFound
// "Resource <name> not found" (the number in decimal for a numbered one).
#include <cstddef>
#include <cstdint>

#include "rtl/Streams.h"
#include "rtl/Types.h"

// A resource name or type: a text, or a number from 0 to 65535.
class TResourceId {
public:
  TResourceId(int AId) : FIsId(true), FId(static_cast<Word>(AId)) {}
  TResourceId(const String& AName);
  // A pointer value below 65536 is a number, as MAKEINTRESOURCE makes.
  TResourceId(const Char* AName);
  // 8-bit names are UTF-8.
  TResourceId(const char* AName);
#ifdef _WIN32
  TResourceId(const wchar_t* AName);
#endif

  bool IsId() const { return FIsId; }
  Word Id() const { return FId; }
  const String& Name() const { return FName; }
  // The name, or the number in decimal.
  String ToString() const;
  // The registry's key: "#<number>" or the name in upper case.
  String Key() const;

private:
  bool FIsId = false;
  Word FId = 0;
  String FName;
};

// Resource types (winuser.h values). When <windows.h> comes first its macros
// of the same names stand instead; TResourceId takes both.
#ifndef RT_CURSOR
inline constexpr int RT_CURSOR = 1;
#endif
#ifndef RT_BITMAP
inline constexpr int RT_BITMAP = 2;
#endif
#ifndef RT_ICON
inline constexpr int RT_ICON = 3;
#endif
#ifndef RT_STRING
inline constexpr int RT_STRING = 6;
#endif
#ifndef RT_RCDATA
inline constexpr int RT_RCDATA = 10;
#endif
#ifndef RT_GROUP_ICON
inline constexpr int RT_GROUP_ICON = 14;
#endif
#ifndef RT_VERSION
inline constexpr int RT_VERSION = 16;
#endif

// The running program's module handle; 0 off Windows.
NativeUInt HInstance();

// Whether the module has the resource (no exception).
bool ResourceExists(NativeUInt Instance, const TResourceId& ResName, const TResourceId& ResType);

class TResourceStream : public TCustomMemoryStream {
public:
  TResourceStream(NativeUInt Instance, const TResourceId& ResName, const TResourceId& ResType);

  // Raises EStreamError "Can't write to a read-only resource stream".
  using TStream::Write;
  Integer Write(const void* Buffer, Integer Count) override;
};

#ifndef _WIN32
// Registers Size bytes at Data (which must outlive every stream over them)
// as the resource Name of type Type; a second registration of the same name
// and type replaces the first.
void RegisterResource(const TResourceId& Name, const TResourceId& Type, const void* Data, std::size_t Size);

// For a static registration next to the embedded array:
//   static const TResourceRegistration RegFR(u"FR", RT_RCDATA, kFR, sizeof kFR);
struct TResourceRegistration {
  TResourceRegistration(const TResourceId& Name, const TResourceId& Type, const void* Data, std::size_t Size) {
    RegisterResource(Name, Type, Data, Size);
  }
};
#endif

// Platform part (Resources_win.cpp / Resources_posix.cpp); not for callers.
namespace rtl_resources_detail {
bool FindResourceData(NativeUInt Instance, const TResourceId& ResName, const TResourceId& ResType, const void*& Data,
                      std::size_t& Size);
}
