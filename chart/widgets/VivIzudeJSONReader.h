#pragma once
// A forward-only pull reader of JSON text held in a stream: the caller asks
// what comes next (Peek, HasNext) and takes one token at a time with a Read
// operation per kind. The root must be an object or an array; nesting is
// limited to 256 scope entries and the input to MaxInputSize bytes, so that
// no input can exhaust the stack or memory. Text is UTF-8; strings and names
// are unescaped while they are scanned. Numbers are converted without the
// process-wide format settings.
#include <string>

#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "rtl/Types.h"

enum TVivIzudeJSONToken {
  jstoBeginObject,
  jstoEndObject,
  jstoBeginArray,
  jstoEndArray,
  jstoName,
  jstoBoolean,
  jstoNull,
  jstoText,
  jstoNumber,
  jstoEOF
};

// Scope values of the nesting stack, shared with the writer.
namespace VivIzudeJSONScope {
inline constexpr Byte DocumentEmpty = 0;
inline constexpr Byte ArrayEmpty = 1;
inline constexpr Byte ObjectEmpty = 2;
inline constexpr Byte DocumentDone = 3;
inline constexpr Byte ArrayFilled = 4;
inline constexpr Byte ObjectFilled = 5;
inline constexpr Byte NamePending = 6;
inline constexpr Integer MaxDepth = 256;
}  // namespace VivIzudeJSONScope

// The whole source, read up front, one byte at a time.
class TVivIzudeJSONStreamReader : public TObject {
public:
  QUORVEL_DECLARE_EXCEPTION(EEndOfInputReached, Exception);
  QUORVEL_DECLARE_EXCEPTION(EInputTooLarge, Exception);

  // Larger sources raise EInputTooLarge before anything is copied.
  static constexpr Int64 MaxInputSize = 64 * 1024 * 1024;

  // Copies AStream from its current position to its end.
  explicit TVivIzudeJSONStreamReader(TStream* AStream);
  ~TVivIzudeJSONStreamReader() override = default;

  char ReadChar();
  char NextChar();  // EEndOfInputReached at the end
  char PeekChar() const { return FPos < FData.size() ? FData[FPos] : '\0'; }
  void Backup() {
    if (FPos > 0) --FPos;
  }
  void MoveNext(Integer Count) { FPos += static_cast<std::size_t>(Count); }
  bool Eof() const { return FPos >= FData.size(); }
  std::size_t Position() const { return FPos; }
  const std::string& Data() const { return FData; }

private:
  TStream* FStream;
  std::string FData;
  std::size_t FPos = 0;
};

class TVivIzudeJSONReader : public TObject {
public:
  enum TVivIzudeJSONState {
    jstNone,
    jstBeginObject,
    jstEndObject,
    jstBeginArray,
    jstEndArray,
    jstTrue,
    jstFalse,
    jstNull,
    jstDoubleQuoted,
    jstBuffered,
    jstDoubleQuotedName,
    jstInt64,
    jstNumber,
    jstEOF
  };

  class EInvalidStateException : public Exception {
  public:
    explicit EInvalidStateException(TVivIzudeJSONState Expected);
  };
  QUORVEL_DECLARE_EXCEPTION(EUnterminatedArray, Exception);
  QUORVEL_DECLARE_EXCEPTION(EUnterminatedObject, Exception);
  QUORVEL_DECLARE_EXCEPTION(ENameExpected, Exception);
  QUORVEL_DECLARE_EXCEPTION(EColonExpected, Exception);
  QUORVEL_DECLARE_EXCEPTION(EMultipleRootNotAllowed, Exception);
  QUORVEL_DECLARE_EXCEPTION(EExpectedValue, Exception);
  QUORVEL_DECLARE_EXCEPTION(EObjectOrArrayExpected, Exception);
  QUORVEL_DECLARE_EXCEPTION(ETooManyDepthLevels, Exception);
  // A bad escape ("Invalid code at position %s", 1-based within the text)
  // or bytes that are not UTF-8 in a string.
  QUORVEL_DECLARE_EXCEPTION(EInvalidText, Exception);

  explicit TVivIzudeJSONReader(TStream* AStream);
  ~TVivIzudeJSONReader() override;
  TVivIzudeJSONReader(const TVivIzudeJSONReader&) = delete;
  TVivIzudeJSONReader& operator=(const TVivIzudeJSONReader&) = delete;

  TVivIzudeJSONToken Peek();
  bool HasNext();
  bool IsNull() { return Peek() == jstoNull; }
  bool Eof() { return Peek() == jstoEOF; }

  void ReadBeginObject();
  void ReadEndObject();
  void ReadBeginArray();
  void ReadEndArray();
  String ReadName();
  void ReadNull();
  bool ReadBoolean();
  String ReadString();
  double ReadDouble();
  Int64 ReadInt64();
  Integer ReadInteger();
  void SkipValue();

protected:
  TVivIzudeJSONStreamReader* FReader;
  Byte FStack[VivIzudeJSONScope::MaxDepth];
  Integer FStackSize = 1;
  TVivIzudeJSONState FPeeked = jstNone;
  Int64 FPeekedInt64 = 0;
  char16_t FPeekedNumber[256];
  String FPeekedString;

private:
  void Push(Byte Scope);
  Byte& Top() { return FStack[FStackSize - 1]; }
  void EnsurePeeked() {
    if (FPeeked == jstNone) DoPeek();
  }
  TVivIzudeJSONState DoPeek();
  TVivIzudeJSONState ValueDispatch(Byte ScopeBefore);
  char NextNonWhitespace();
  bool RestIsWhitespace() const;
  TVivIzudeJSONState PeekKeyword();
  TVivIzudeJSONState PeekNumber();
  String ReadQuotedText();
  void SkipQuotedText() { ReadQuotedText(); }
  String PeekedNumberText() const { return String(FPeekedNumber); }
  // The text of a value that is not yet a number: the raw text of a quoted
  // value is read first. The value stays peeked as jstBuffered.
  const String& BufferText();
};
