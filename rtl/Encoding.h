#pragma once
// Text encodings: bytes <-> UTF-16 String.
//
// The standard instances (UTF8, Unicode, BigEndianUnicode, ANSI, ASCII,
// Default) live for the whole program and are never deleted. GetEncoding
// and Clone hand out a new encoding that the caller owns (a unique_ptr);
// THeldEncoding is how an object keeps the encoding it was given.
//
// ANSI is the system's ANSI code page: on Windows GetACP() through
// MultiByteToWideChar/WideCharToMultiByte (Encoding_win.cpp); elsewhere a
// built-in Windows-1252 table (Encoding_posix.cpp). Default is ANSI, the
// code page that text files without a byte-order mark are read in.
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "rtl/Types.h"

class TEncoding : public TObject {
public:
  ~TEncoding() override = default;

  static TEncoding* ANSI();
  static TEncoding* ASCII();
  static TEncoding* BigEndianUnicode();
  static TEncoding* Default();
  static TEncoding* Unicode();
  static TEncoding* UTF8();
  // A new encoding for a code page (65001 UTF-8, 1200 UTF-16LE, 1201
  // UTF-16BE, 0 the system ANSI code page, others as the platform knows them;
  // natively 1252, 28591 and 20127). The caller owns it. An unknown code page
  // raises EArgumentException "Invalid code page %d".
  static std::unique_ptr<TEncoding> GetEncoding(Cardinal CodePage);
  static bool IsStandardEncoding(const TEncoding* AEncoding);

  // BOM detection. With AEncoding nullptr: UTF-8 (EF BB BF), UTF-16LE (FF FE)
  // or UTF-16BE (FE FF) when Buffer starts with that mark, which the answer
  // counts; otherwise ADefaultEncoding (Default() when nullptr) and 0. With an
  // AEncoding given: the length of its preamble when Buffer starts with it,
  // else 0; AEncoding is kept.
  static Integer GetBufferEncoding(const TBytes& Buffer, TEncoding*& AEncoding, TEncoding* ADefaultEncoding = nullptr);
  static TBytes Convert(const TEncoding* Source, const TEncoding* Destination, const TBytes& Bytes);

  TBytes GetBytes(std::u16string_view Chars) const { return Encode(Chars); }
  Integer GetByteCount(std::u16string_view Chars) const { return static_cast<Integer>(Encode(Chars).size()); }
  String GetString(const TBytes& Bytes) const { return Decode(Bytes.data(), Bytes.size()); }
  // Bytes[ByteIndex .. ByteIndex+ByteCount-1]; a range outside Bytes raises
  // EArgumentOutOfRangeException.
  String GetString(const TBytes& Bytes, Integer ByteIndex, Integer ByteCount) const;
  String GetString(const void* Bytes, std::size_t ByteCount) const {
    return Decode(static_cast<const Byte*>(Bytes), ByteCount);
  }
  Integer GetCharCount(const TBytes& Bytes) const { return static_cast<Integer>(GetString(Bytes).size()); }

  // The byte-order mark written before text of this encoding (empty for ANSI).
  virtual TBytes GetPreamble() const = 0;
  virtual Cardinal CodePage() const = 0;
  virtual String EncodingName() const = 0;
  virtual bool IsSingleByte() const { return false; }
  virtual std::unique_ptr<TEncoding> Clone() const = 0;

protected:
  // Undecodable input becomes U+FFFD (UTF-8), or what the code page maps it
  // to; unencodable characters become '?' (or the platform's best fit).
  virtual String Decode(const Byte* Bytes, std::size_t Count) const = 0;
  virtual TBytes Encode(std::u16string_view Chars) const = 0;
};

class TUTF8Encoding : public TEncoding {
public:
  explicit TUTF8Encoding(bool AEmitPreamble = true) : FEmitPreamble(AEmitPreamble) {}
  TBytes GetPreamble() const override;
  Cardinal CodePage() const override { return 65001; }
  String EncodingName() const override { return u"Unicode (UTF-8)"; }
  std::unique_ptr<TEncoding> Clone() const override { return std::make_unique<TUTF8Encoding>(FEmitPreamble); }

protected:
  String Decode(const Byte* Bytes, std::size_t Count) const override;
  TBytes Encode(std::u16string_view Chars) const override;

private:
  bool FEmitPreamble;
};

// UTF-16 little endian.
class TUnicodeEncoding : public TEncoding {
public:
  TBytes GetPreamble() const override { return {0xFF, 0xFE}; }
  Cardinal CodePage() const override { return 1200; }
  String EncodingName() const override { return u"Unicode"; }
  std::unique_ptr<TEncoding> Clone() const override { return std::make_unique<TUnicodeEncoding>(); }

protected:
  String Decode(const Byte* Bytes, std::size_t Count) const override;
  TBytes Encode(std::u16string_view Chars) const override;
};

class TBigEndianUnicodeEncoding : public TEncoding {
public:
  TBytes GetPreamble() const override { return {0xFE, 0xFF}; }
  Cardinal CodePage() const override { return 1201; }
  String EncodingName() const override { return u"Unicode (Big-Endian)"; }
  std::unique_ptr<TEncoding> Clone() const override { return std::make_unique<TBigEndianUnicodeEncoding>(); }

protected:
  String Decode(const Byte* Bytes, std::size_t Count) const override;
  TBytes Encode(std::u16string_view Chars) const override;
};

// A single- or multi-byte Windows code page; 0 (CP_ACP) is the system ANSI
// code page, resolved at construction.
class TMBCSEncoding : public TEncoding {
public:
  // An unknown code page raises EArgumentException "Invalid code page %d".
  explicit TMBCSEncoding(Cardinal ACodePage = 0);
  TBytes GetPreamble() const override { return {}; }
  Cardinal CodePage() const override { return FCodePage; }
  String EncodingName() const override;
  bool IsSingleByte() const override;
  std::unique_ptr<TEncoding> Clone() const override { return std::make_unique<TMBCSEncoding>(FCodePage); }

protected:
  String Decode(const Byte* Bytes, std::size_t Count) const override;
  TBytes Encode(std::u16string_view Chars) const override;

private:
  Cardinal FCodePage;
};

// Platform part (Encoding_win.cpp / Encoding_posix.cpp); not for callers.
namespace rtl_encoding_detail {
Cardinal SystemAnsiCodePage();
bool IsCodePageSupported(Cardinal CodePage);
bool IsSingleByteCodePage(Cardinal CodePage);
String MBCSDecode(Cardinal CodePage, const Byte* Bytes, std::size_t Count);
TBytes MBCSEncode(Cardinal CodePage, std::u16string_view Chars);
}  // namespace rtl_encoding_detail

// The encoding an object uses: nothing, a standard instance (shared, never
// freed) or the object's own copy of any other encoding. Set gives the strong
// guarantee: when copying the new encoding fails, the old one stays.
class THeldEncoding {
public:
  THeldEncoding() = default;
  explicit THeldEncoding(TEncoding* Value) { Set(Value); }
  THeldEncoding(const THeldEncoding&) = delete;
  THeldEncoding& operator=(const THeldEncoding&) = delete;

  TEncoding* Get() const { return FEncoding; }
  void Set(TEncoding* Value);

private:
  std::unique_ptr<TEncoding> FOwned;
  TEncoding* FEncoding = nullptr;  // FOwned's, or a standard instance
};
