#include "xml/OxVersionInfo.h"

#include <array>
#include <cstring>

#include "rtl/Format.h"
#include "rtl/SysUtils.h"
#include "xml/KelSysUtils.h"

namespace {

constexpr std::array<Word, vlUnknown + 1> LanguageIds{
    0x0401, 0x0402, 0x0403, 0x0404, 0x0405, 0x0406, 0x0407, 0x0408, 0x0409, 0x040A, 0x040B, 0x040C,
    0x040D, 0x040E, 0x040F, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418,
    0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0804, 0x0807, 0x0809,
    0x080A, 0x080C, 0x0810, 0x0813, 0x0814, 0x0816, 0x081A, 0x0C0C, 0x100C, 0x0000};

// vcsUnknown has no code page: it is never matched.
constexpr std::array<Word, vcsUnknown> CharSetCodePages{0,    932,  949,  950,  1200, 1250,
                                                        1251, 1252, 1253, 1254, 1255, 1256};

}  // namespace

Word VersionLanguageId(TVersionLanguage Language) { return LanguageIds[Language]; }

Word VersionCharSetCodePage(TVersionCharSet CharSet) { return CharSet < vcsUnknown ? CharSetCodePages[CharSet] : 0; }

String FormatLongVersion(const TLongVersion& Version) {
  return Format(u"%d.%d.%d.%d", {Version.MS >> 16, Version.MS & 0xFFFF, Version.LS >> 16, Version.LS & 0xFFFF});
}

TOxVersionInfo::TOxVersionInfo(const String& AFileName) : FFileName(AFileName) { LoadVersionResource(); }

void TOxVersionInfo::SetFileName(const String& Value) {
  Clear();
  FFileName = Value;
  LoadVersionResource();
}

void TOxVersionInfo::Clear() {
  FValid = false;
  TDynByteArray().swap(FBuffer);
  FFixed = TVSFixedFileInfo{};
  FHasFixed = false;
  FTranslation = 0;
  FHasTranslation = false;
}

void TOxVersionInfo::LoadVersionResource() {
  Clear();
  try {
    FValid = GetFileVersionResource(FFileName, FBuffer);
  } catch (...) {
    Clear();
    throw;
  }
  if (FValid) ReadRecords();
}

void TOxVersionInfo::LoadVersionBlock(const void* Block, std::size_t Size) {
  Clear();
  if (!Block || !VersionBlockIsValid(Block, Size)) return;
  const auto* Bytes = static_cast<const Byte*>(Block);
  FBuffer.assign(Bytes, Bytes + Size);
  FValid = true;
  ReadRecords();
}

void TOxVersionInfo::ReadRecords() {
  const void* Value = nullptr;
  Cardinal Length = 0;
  if (Query(u"\\", Value, Length) && Length >= sizeof(TVSFixedFileInfo)) {
    std::memcpy(&FFixed, Value, sizeof FFixed);
    FHasFixed = true;
  }
  if (Query(u"\\VarFileInfo\\Translation", Value, Length) && Length >= sizeof(Cardinal)) {
    std::memcpy(&FTranslation, Value, sizeof FTranslation);
    FHasTranslation = true;
  }
}

bool TOxVersionInfo::Query(const String& SubBlock, const void*& Value, Cardinal& Length) const {
  return FValid && QueryVersionResource(FBuffer, SubBlock, Value, Length);
}

const TVSFixedFileInfo* TOxVersionInfo::FixedFileInfo() const { return FValid && FHasFixed ? &FFixed : nullptr; }

const Cardinal* TOxVersionInfo::Translation() const { return FValid && FHasTranslation ? &FTranslation : nullptr; }

TLongVersion TOxVersionInfo::FileLongVersion() const {
  const TVSFixedFileInfo* F = FixedFileInfo();
  return F ? TLongVersion{F->dwFileVersionMS, F->dwFileVersionLS} : TLongVersion{};
}

TLongVersion TOxVersionInfo::ProductLongVersion() const {
  const TVSFixedFileInfo* F = FixedFileInfo();
  return F ? TLongVersion{F->dwProductVersionMS, F->dwProductVersionLS} : TLongVersion{};
}

Cardinal TOxVersionInfo::VersionNum() const {
  const TVSFixedFileInfo* F = FixedFileInfo();
  return F ? F->dwFileVersionMS : 0;
}

TVersionLanguage TOxVersionInfo::VersionLanguage() const {
  const Cardinal* T = Translation();
  if (!T) return vlUnknown;
  const Word Id = static_cast<Word>(*T & 0xFFFF);
  for (int L = vlArabic; L <= vlUnknown; ++L) {
    if (LanguageIds[static_cast<std::size_t>(L)] == Id) return static_cast<TVersionLanguage>(L);
  }
  return vlUnknown;
}

TVersionCharSet TOxVersionInfo::VersionCharSet() const {
  const Cardinal* T = Translation();
  if (!T) return vcsUnknown;
  const Word CodePage = static_cast<Word>(*T >> 16);
  for (int C = vcsASCII; C < vcsUnknown; ++C) {
    if (CharSetCodePages[static_cast<std::size_t>(C)] == CodePage) return static_cast<TVersionCharSet>(C);
  }
  return vcsUnknown;
}

String TOxVersionInfo::GetVerValue(const String& VerName) const {
  if (!FValid) return String();
  const Cardinal* T = Translation();
  const String TranslationText = T ? IntToHex(*T & 0xFFFF, 4) + IntToHex(*T >> 16, 4) : String();
  const void* Value = nullptr;
  Cardinal Length = 0;
  if (!Query(u"\\StringFileInfo\\" + TranslationText + u"\\" + VerName, Value, Length)) return String();
  // The length bounds the read; the text ends at its zero.
  String Result;
  const auto* P = static_cast<const Byte*>(Value);
  for (Cardinal I = 0; I < Length; ++I) {
    const Char C = static_cast<Char>(P[2 * I] | (P[2 * I + 1] << 8));
    if (C == 0) break;
    Result.push_back(C);
  }
  return Result;
}

String TOxVersionInfo::FileVersion() const {
  String Result = GetVerValue(u"FileVersion");
  if (Result.empty() && FValid) Result = FormatLongVersion(FileLongVersion());
  return Result;
}

String TOxVersionInfo::ProductVersion() const {
  String Result = GetVerValue(u"ProductVersion");
  if (Result.empty() && FValid) Result = FormatLongVersion(ProductLongVersion());
  return Result;
}

TDateTime TOxVersionInfo::VerFileDate() const { return IsExistingFile(FFileName) ? FileLastWriteTime(FFileName) : 0.0; }

String RunningModuleName() { return ModuleFileName(0); }

std::unique_ptr<TOxVersionInfo> CreateAppVersionInfo() { return std::make_unique<TOxVersionInfo>(RunningModuleName()); }
