#include "rtl/Encoding.h"

#include "rtl/Exceptions.h"
#include "rtl/SysUtils.h"
#include "rtl/Unicode.h"

namespace {

bool StartsWith(const TBytes& Buffer, const TBytes& Signature) {
  if (Signature.empty() || Buffer.size() < Signature.size()) return false;
  for (std::size_t I = 0; I < Signature.size(); ++I)
    if (Buffer[I] != Signature[I]) return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Standard instances

TEncoding* TEncoding::ANSI() {
  static TMBCSEncoding Instance(0);
  return &Instance;
}

TEncoding* TEncoding::ASCII() {
  static TMBCSEncoding Instance(20127);
  return &Instance;
}

TEncoding* TEncoding::BigEndianUnicode() {
  static TBigEndianUnicodeEncoding Instance;
  return &Instance;
}

TEncoding* TEncoding::Default() { return ANSI(); }

TEncoding* TEncoding::Unicode() {
  static TUnicodeEncoding Instance;
  return &Instance;
}

TEncoding* TEncoding::UTF8() {
  static TUTF8Encoding Instance(true);
  return &Instance;
}

std::unique_ptr<TEncoding> TEncoding::GetEncoding(Cardinal CodePage) {
  switch (CodePage) {
    case 65001:
      return std::make_unique<TUTF8Encoding>(true);
    case 1200:
      return std::make_unique<TUnicodeEncoding>();
    case 1201:
      return std::make_unique<TBigEndianUnicodeEncoding>();
    default:
      return std::make_unique<TMBCSEncoding>(CodePage);
  }
}

void THeldEncoding::Set(TEncoding* Value) {
  if (Value == FEncoding) return;
  if (Value == nullptr || TEncoding::IsStandardEncoding(Value)) {
    FOwned.reset();
    FEncoding = Value;
    return;
  }
  std::unique_ptr<TEncoding> Copy = Value->Clone();
  FOwned = std::move(Copy);
  FEncoding = FOwned.get();
}

bool TEncoding::IsStandardEncoding(const TEncoding* AEncoding) {
  return AEncoding != nullptr && (AEncoding == ANSI() || AEncoding == ASCII() || AEncoding == BigEndianUnicode() ||
                                  AEncoding == Unicode() || AEncoding == UTF8());
}

Integer TEncoding::GetBufferEncoding(const TBytes& Buffer, TEncoding*& AEncoding, TEncoding* ADefaultEncoding) {
  if (AEncoding == nullptr) {
    for (TEncoding* Candidate : {UTF8(), Unicode(), BigEndianUnicode()}) {
      TBytes Preamble = Candidate->GetPreamble();
      if (StartsWith(Buffer, Preamble)) {
        AEncoding = Candidate;
        return static_cast<Integer>(Preamble.size());
      }
    }
    AEncoding = ADefaultEncoding != nullptr ? ADefaultEncoding : Default();
    return 0;
  }
  TBytes Preamble = AEncoding->GetPreamble();
  return StartsWith(Buffer, Preamble) ? static_cast<Integer>(Preamble.size()) : 0;
}

TBytes TEncoding::Convert(const TEncoding* Source, const TEncoding* Destination, const TBytes& Bytes) {
  return Destination->GetBytes(Source->GetString(Bytes));
}

String TEncoding::GetString(const TBytes& Bytes, Integer ByteIndex, Integer ByteCount) const {
  if (ByteIndex < 0 || ByteCount < 0 || static_cast<std::size_t>(ByteIndex) + ByteCount > Bytes.size())
    throw EArgumentOutOfRangeException(u"Argument out of range");
  return Decode(Bytes.data() + ByteIndex, static_cast<std::size_t>(ByteCount));
}

// ---------------------------------------------------------------------------
// UTF-8

TBytes TUTF8Encoding::GetPreamble() const {
  if (!FEmitPreamble) return {};
  return {0xEF, 0xBB, 0xBF};
}

String TUTF8Encoding::Decode(const Byte* Bytes, std::size_t Count) const {
  return UTF8ToUTF16(std::string_view(reinterpret_cast<const char*>(Bytes), Count));
}

TBytes TUTF8Encoding::Encode(std::u16string_view Chars) const {
  AnsiString Utf8 = UTF16ToUTF8(Chars);
  return TBytes(Utf8.begin(), Utf8.end());
}

// ---------------------------------------------------------------------------
// UTF-16: a trailing odd byte is dropped.

String TUnicodeEncoding::Decode(const Byte* Bytes, std::size_t Count) const {
  String Result;
  Result.reserve(Count / 2);
  for (std::size_t I = 0; I + 1 < Count; I += 2) Result.push_back(static_cast<Char>(Bytes[I] | (Bytes[I + 1] << 8)));
  return Result;
}

TBytes TUnicodeEncoding::Encode(std::u16string_view Chars) const {
  TBytes Result;
  Result.reserve(Chars.size() * 2);
  for (Char C : Chars) {
    Result.push_back(static_cast<Byte>(C & 0xFF));
    Result.push_back(static_cast<Byte>(C >> 8));
  }
  return Result;
}

String TBigEndianUnicodeEncoding::Decode(const Byte* Bytes, std::size_t Count) const {
  String Result;
  Result.reserve(Count / 2);
  for (std::size_t I = 0; I + 1 < Count; I += 2) Result.push_back(static_cast<Char>((Bytes[I] << 8) | Bytes[I + 1]));
  return Result;
}

TBytes TBigEndianUnicodeEncoding::Encode(std::u16string_view Chars) const {
  TBytes Result;
  Result.reserve(Chars.size() * 2);
  for (Char C : Chars) {
    Result.push_back(static_cast<Byte>(C >> 8));
    Result.push_back(static_cast<Byte>(C & 0xFF));
  }
  return Result;
}

// ---------------------------------------------------------------------------
// Code pages

TMBCSEncoding::TMBCSEncoding(Cardinal ACodePage)
    : FCodePage(ACodePage == 0 ? rtl_encoding_detail::SystemAnsiCodePage() : ACodePage) {
  if (!rtl_encoding_detail::IsCodePageSupported(FCodePage))
    throw EArgumentException(u"Invalid code page " + IntToStr(ACodePage));
}

String TMBCSEncoding::EncodingName() const { return u"Code page " + IntToStr(FCodePage); }

bool TMBCSEncoding::IsSingleByte() const { return rtl_encoding_detail::IsSingleByteCodePage(FCodePage); }

String TMBCSEncoding::Decode(const Byte* Bytes, std::size_t Count) const {
  return rtl_encoding_detail::MBCSDecode(FCodePage, Bytes, Count);
}

TBytes TMBCSEncoding::Encode(std::u16string_view Chars) const {
  return rtl_encoding_detail::MBCSEncode(FCodePage, Chars);
}
