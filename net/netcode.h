#pragma once
// Byte-order codecs, percent-encoding and Base64 of 8-bit texts.
#include <bitset>

#include "rtl/Types.h"

// 2 bytes, most significant first.
AnsiString WordToBigEndian(Word Value);
// The number from the bytes at Index and Index+1 (1-based), most significant
// first; a byte beyond the end counts as 0.
Word BigEndianToWord(const AnsiString& Value, Integer Index);
// 4 bytes, most significant first.
AnsiString IntToBigEndian(Integer Value);
// The 32-bit number with its four bytes in reverse order.
Integer ReverseBytes(Integer Value);

using TByteSet = std::bitset<256>;
// Every byte of Value in Specials becomes Marker and its two upper-case hex digits.
AnsiString PercentEncodeChars(const AnsiString& Value, char Marker, const TByteSet& Specials);
// Percent-encoding of a URL query value or path part.
AnsiString PercentEncodeUrlPart(const AnsiString& Value);
// The same for a UTF-16 text, taken as its UTF-8 bytes.
String PercentEncodeUrlPart(const String& Value);

// 3 bytes to 4 symbols of Table; a missing byte gives Table's 65th symbol,
// written only when Table has 65 symbols.
AnsiString Base64EncodeWithTable(const AnsiString& Value, const AnsiString& Table);
// Standard Base64 with "=" padding.
AnsiString Base64EncodeText(const AnsiString& Value);
