#pragma once
// IPv4 and IPv6 address texts: checks and conversions.
#include <array>

#include "rtl/Types.h"

using TIPv4Bytes = std::array<Byte, 4>;
using TIPv6Bytes = std::array<Byte, 16>;

// Every character a decimal digit and the number 0-255.
bool IsByteText(const String& Value);
// Four "."-separated fields, each trimmed of blanks and a byte text.
bool IsIPv4Text(const String& Value);
// An IPv6 address text (a zone "%n" allowed on the last group); a text
// ending in "::" other than "::" itself is not recognised.
bool IsIPv6Text(const String& Value);

// One byte per "."-separated field (0 when a field is not a number).
TIPv4Bytes IPv4TextToBytes(const String& Value);
// "::" replaced by the zero groups it stands for; empty when there are more than 7 colons.
AnsiString ExpandIPv6Text(const AnsiString& Value);
// The 8 groups, most significant byte first; all zero when a group is not a
// hexadecimal number 0-FFFF or there are more than 8 groups.
TIPv6Bytes IPv6TextToBytes(const String& Value);
// Lower-case text, the longest (first) run of zero groups as "::"; "::0" for all zero.
String IPv6BytesToText(const TIPv6Bytes& Bytes);
