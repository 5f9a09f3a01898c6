#pragma once
// Single code points (UCS4) to and from their encoded forms: UTF-8, UTF-16
// little endian and ANSI code pages in byte streams, UTF-16 units in strings,
// single characters. Invalid input never raises: decoding delivers U+FFFD,
// encoding to a code page delivers the code page's default character.
// String indexes are 1-based, as everywhere in the XML library.
#include <string_view>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "rtl/Types.h"

using TUCS4Array = std::vector<Cardinal>;
using TDynByteArray = std::vector<Byte>;

// Base of every exception of the XML library and its text layer.
QUORVEL_DECLARE_EXCEPTION(EKelError, Exception);
QUORVEL_DECLARE_EXCEPTION(EKelInternalError, EKelError);
QUORVEL_DECLARE_EXCEPTION(EKelStringConversionError, EKelError);

class EKelUnexpectedEOSequenceError : public EKelStringConversionError {
public:
  EKelUnexpectedEOSequenceError();
  using EKelStringConversionError::EKelStringConversionError;
};

constexpr Cardinal UCS4ReplacementCharacter = 0xFFFD;
constexpr Cardinal MaximumUCS2 = 0xFFFF;
constexpr Cardinal MaximumUTF16 = 0x10FFFF;
constexpr Cardinal MaximumUCS4 = 0x7FFFFFFF;
constexpr int SurrogateShift = 10;
constexpr Cardinal SurrogateBase = 0x10000;
constexpr Cardinal SurrogateMask = 0x3FF;

// Code pages that need no platform table.
constexpr Word CP_KEL_ACP = 0;  // the system ANSI code page
constexpr Word CP_KEL_UTF16LE = 1200;
constexpr Word CP_KEL_UTF16BE = 1201;
constexpr Word CP_KEL_UTF8 = 65001;

// The system ANSI code page (GetACP on Windows, 1252 elsewhere).
Word SystemAnsiCodePage();
// The one-byte default character of the system ANSI code page, read once.
char AnsiDefaultChar();

// Stream functions. They use only TStream::Read and TStream::Write, except
// that a decoder that met a byte (or unit) interrupting a sequence steps the
// stream back over it, so that it is decoded on its own by the next call.
// Chunked forms advance Start past every code point handled and return the
// number handled; single forms return whether a whole code point was handled.
bool Utf8ReadCodePoint(TStream& Stream, Cardinal& Ch);
Integer Utf8ReadCodePoints(TStream& Stream, TUCS4Array& Buffer, Integer& Start, Integer Count);
bool Utf8WriteCodePoint(TStream& Stream, Cardinal Ch);
Integer Utf8WriteCodePoints(TStream& Stream, const TUCS4Array& Buffer, Integer& Start, Integer Count);

bool Utf16ReadCodePoint(TStream& Stream, Cardinal& Ch);
Integer Utf16ReadCodePoints(TStream& Stream, TUCS4Array& Buffer, Integer& Start, Integer Count);
bool Utf16WriteCodePoint(TStream& Stream, Cardinal Ch);
Integer Utf16WriteCodePoints(TStream& Stream, const TUCS4Array& Buffer, Integer& Start, Integer Count);

bool AnsiReadCodePoint(TStream& Stream, Cardinal& Ch);
Integer AnsiReadCodePoints(TStream& Stream, TUCS4Array& Buffer, Integer& Start, Integer Count);
bool AnsiWriteCodePoint(TStream& Stream, Cardinal Ch);
Integer AnsiWriteCodePoints(TStream& Stream, const TUCS4Array& Buffer, Integer& Start, Integer Count);

bool CodePageReadCodePoint(TStream& Stream, Word CodePage, Cardinal& Ch);
Integer CodePageReadCodePoints(TStream& Stream, Word CodePage, TUCS4Array& Buffer, Integer& Start, Integer Count);
bool CodePageWriteCodePoint(TStream& Stream, Word CodePage, Cardinal Ch);
Integer CodePageWriteCodePoints(TStream& Stream, Word CodePage, const TUCS4Array& Buffer, Integer& Start,
                                Integer Count);

// Text functions, 1-based indexes. WideString is String here, so the Wide*
// forms are the same functions under the names the XML code uses.
Cardinal TextNextCodePoint(const String& Text, Integer& Index);
inline Cardinal WideTextNextCodePoint(const String& Text, Integer& Index) { return TextNextCodePoint(Text, Index); }
Integer TextNextCodePoints(const String& Text, Integer& Index, TUCS4Array& Buffer, Integer Count, Integer& Start);
// Stores Ch in place (the text keeps its length); false, and nothing changed,
// when there is no room for it at Index.
bool TextSetCodePoint(String& Text, Integer& Index, Cardinal Ch);
inline bool WideTextSetCodePoint(String& Text, Integer& Index, Cardinal Ch) {
  return TextSetCodePoint(Text, Index, Ch);
}
Cardinal AnsiTextNextCodePoint(const AnsiString& Text, Integer& Index);
bool AnsiTextSetCodePoint(AnsiString& Text, Integer& Index, Cardinal Ch);
String CodePointsToText(const TUCS4Array& Buffer);

// Character functions.
Char CodePointToChar(Cardinal Ch);
Cardinal CharToCodePoint(Char Ch);
char CodePointToAnsiChar(Cardinal Ch);
Cardinal AnsiCharToCodePoint(char Ch);

// Whole-text conversions with a code page (0 = system ANSI code page), for
// callers that convert a buffer at once. Same replacement rules as above.
String CodePageToUnicode(std::string_view Bytes, Word CodePage);
AnsiString UnicodeToCodePage(std::u16string_view Text, Word CodePage);
