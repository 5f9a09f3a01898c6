#pragma once
// The binary version resource of a file (VS_VERSIONINFO, the 32-bit Unicode
// layout): reading it from a file, and finding a value inside it.
//
// Every node of the resource is: a 16-bit total length (children included),
// a 16-bit value length, a 16-bit type (1 text, 0 binary), a zero-terminated
// UTF-16 key, padding to 4 bytes, the value (value length in UTF-16 units
// for text, in bytes for binary), padding to 4 bytes, then the children.
// Offsets are aligned relative to the start of the resource.
#include <cstddef>

#include "rtl/Types.h"
#include "xml/KelStringConversions.h"

// The fixed part of the version resource (the value of the root node),
// laid out as Windows' VS_FIXEDFILEINFO.
struct TVSFixedFileInfo {
  Cardinal dwSignature;
  Cardinal dwStrucVersion;
  Cardinal dwFileVersionMS;
  Cardinal dwFileVersionLS;
  Cardinal dwProductVersionMS;
  Cardinal dwProductVersionLS;
  Cardinal dwFileFlagsMask;
  Cardinal dwFileFlags;
  Cardinal dwFileOS;
  Cardinal dwFileType;
  Cardinal dwFileSubtype;
  Cardinal dwFileDateMS;
  Cardinal dwFileDateLS;
};
static_assert(sizeof(TVSFixedFileInfo) == 52, "the record is read byte for byte from the resource");

constexpr Cardinal FixedFileInfoSignature = 0xFEEF04BD;

// Finds SubBlock ("\" for the fixed record, "\VarFileInfo\Translation",
// "\StringFileInfo\040904B0\FileVersion"; keys compare without regard to
// ASCII case, empty path parts are skipped) in the resource of Size bytes at
// Block. On success Value points into Block and Length is the value length
// as the resource gives it (UTF-16 units for text, bytes otherwise), already
// checked to lie inside Block. A truncated or corrupt resource gives false;
// nothing outside [Block, Block + Size) is ever read.
bool VersionBlockQuery(const void* Block, std::size_t Size, const String& SubBlock, const void*& Value,
                       Cardinal& Length);

// Whether the bytes hold a well-formed root node named "VS_VERSION_INFO".
bool VersionBlockIsValid(const void* Block, std::size_t Size);

// Platform part. The file's version resource (GetFileVersionInfoSizeW and
// GetFileVersionInfoW on Windows); false and Buffer empty when the file has
// none or cannot be read. Off Windows no file carries one: always false.
bool GetFileVersionResource(const String& FileName, TDynByteArray& Buffer);
// The system's lookup (VerQueryValueW) on Windows, VersionBlockQuery
// elsewhere; same contract as VersionBlockQuery.
bool QueryVersionResource(const TDynByteArray& Buffer, const String& SubBlock, const void*& Value, Cardinal& Length);
