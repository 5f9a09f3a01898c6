#pragma once
// Base64. Text is encoded as its UTF-8 bytes and decoded bytes are read as
// UTF-8 (invalid sequences become U+FFFD): FileZilla's site file stores its
// base64 passwords that way.
#include <cstddef>
#include <vector>

#include "rtl/Types.h"

class TBase64Encoding;

class TNetEncoding : public TObject {
public:
  String Encode(const String& Input) const;
  TBytes Encode(const TBytes& Input) const;
  String Decode(const String& Input) const;
  TBytes Decode(const TBytes& Input) const;
  String EncodeBytesToString(const TBytes& Input) const;
  String EncodeBytesToString(const RawByteString& Input) const;
  String EncodeBytesToString(const void* Input, std::size_t Size) const;
  TBytes DecodeStringToBytes(const String& Input) const;

  // Shared, immutable, safe to use from any thread.
  // A line separator (CR LF) after every 76 characters (MIME's line length).
  static const TBase64Encoding& Base64();
  // One line, no separators: for values inside a file's fields.
  static const TBase64Encoding& Base64String();

protected:
  // Encoded text is plain ASCII.
  virtual AnsiString DoEncode(const Byte* Input, std::size_t Size) const = 0;
  // Input characters, one per UTF-16 code unit (bytes given to Decode(TBytes)
  // arrive as the characters of the same code).
  virtual TBytes DoDecode(const Char* Input, std::size_t Size) const = 0;
};

// Standard alphabet (RFC 4648 section 4) with "=" padding.
//
// Encoding writes LineSeparator before a character whenever the current line
// already holds CharsPerLine characters, so lines are exactly CharsPerLine
// long and the text never ends with a separator. CharsPerLine <= 0 writes one
// line.
//
// Decoding never fails: characters outside the alphabet (line breaks, blanks,
// anything else) are skipped, padding may be missing, and a "=" drops the
// bits of an unfinished byte, so padded pieces may be joined ("YQ==YQ=="
// gives "aa"). Bits left over at the end that do not fill a byte are dropped.
class TBase64Encoding : public TNetEncoding {
public:
  static constexpr Integer kCharsPerLine = 76;
  // 76 characters per line, CR LF.
  TBase64Encoding();
  explicit TBase64Encoding(Integer CharsPerLine);
  TBase64Encoding(Integer CharsPerLine, String LineSeparator);

  Integer CharsPerLine() const { return FCharsPerLine; }
  const String& LineSeparator() const { return FLineSeparator; }

protected:
  AnsiString DoEncode(const Byte* Input, std::size_t Size) const override;
  TBytes DoDecode(const Char* Input, std::size_t Size) const override;

private:
  Integer FCharsPerLine;
  String FLineSeparator;
  AnsiString FSeparatorBytes;  // UTF-8 of FLineSeparator
};
