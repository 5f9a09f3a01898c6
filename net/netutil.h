#pragma once
// Text, time and line-end helpers shared by the socket layer, the FTP client
// and its listing parser. Positions are 1-based. "Blank" means the space
// character only. 8-bit texts (AnsiString) are wire bytes; other texts are
// UTF-16.
#include <array>
#include <cstddef>
#include <string_view>

#include "rtl/Types.h"

class TStream;  // rtl/Streams.h

String TrimLeadingBlanks(const String& Value);
String TrimTrailingBlanks(const String& Value);
String TrimBlanks(const String& Value);
AnsiString TrimBlanks(const AnsiString& Value);

// The text before (after) the first Delimiter; all of Value when it does not occur.
String TextBeforeDelimiter(const String& Value, const String& Delimiter);
String TextAfterDelimiter(const String& Value, const String& Delimiter);
// The text before the first Delimiter; Value keeps the text after it, or
// becomes empty when Delimiter does not occur.
String SplitOffFieldRaw(String& Value, const String& Delimiter);
// As SplitOffFieldRaw, then the result and the rest are trimmed of blanks.
String SplitOffField(String& Value, const String& Delimiter);

// Position of the last occurrence of Sub that ends at or before From; 0 when none.
Integer LastPositionBefore(const String& Sub, const String& Value, Integer From);
Integer LastPosition(const String& Sub, const String& Value);

// Every occurrence of Search, left to right and not overlapping, replaced.
AnsiString ReplaceSubstring(const AnsiString& Value, const AnsiString& Search, const AnsiString& Replace);
Integer CountChar(const String& Value, Char Ch);
Integer CountChar(const AnsiString& Value, char Ch);

// Position of the first CR or LF, -1 when none. Terminator is CR LF or LF CR
// when the pair is there, else the single character.
Integer FindLineEnd(const AnsiString& Value, AnsiString& Terminator);

void WriteTextToStream(TStream* Stream, const AnsiString& Text);

// Whether Bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF). Plain ASCII is.
bool IsValidUTF8(std::string_view Bytes);
// The text of bytes an FTP server sent (names, listing and reply lines):
// UTF-8 when they are valid UTF-8, else the system's ANSI code page. A name
// in another code page is seldom valid UTF-8 by chance, while UTF-8 read as
// a code page is always wrong.
String DecodeWireText(std::string_view Bytes);
// The same into Text, reusing its memory.
void DecodeWireText(std::string_view Bytes, String& Text);
inline const void* OffsetPointer(const void* P, std::ptrdiff_t N) { return static_cast<const char*>(P) + N; }
inline void* OffsetPointer(void* P, std::ptrdiff_t N) { return static_cast<char*>(P) + N; }
// Sleeps Ms milliseconds; 0 yields the processor.
void SleepMs(Integer Ms);

// Milliseconds of a monotonic clock, truncated to 32 bits.
Cardinal MillisecondTick();
// The same clock, 64 bits wide (never wraps; for deadlines).
UInt64 MillisecondTick64();
// Milliseconds from Old to New, also across one wrap-around of the 32-bit tick.
Cardinal ElapsedTicks(Cardinal Old, Cardinal New);

// Month names of listings: rows 0-6 and the custom row (index 7). Row 0 and
// the custom row start as the regional short month names (FormatSettings).
constexpr int MonthNameRows = 8;
constexpr int CustomMonthRow = 7;
using TMonthNameRow = std::array<String, 12>;
TMonthNameRow MonthNameRow(int Row);
// Sets row 0 and the custom row (after the regional settings changed).
void SetSystemShortMonthNames(const TMonthNameRow& Names);
// Replaces the custom row (a listing mask's month names).
void SetCustomMonthNames(const TMonthNameRow& Names);
// 1-12: the first month whose column holds Name in any row, compared without
// regard to case; 0 when none does.
Integer MonthNumberFromName(const String& Name);

// The time of day as a fraction of a day, or -1. Read with the regional
// time separator and AM/PM texts of FormatSettings, ":" standing for the
// separator.
TDateTime TimeOfDayFromText(const String& Value);
