#pragma once
// UTF-8 <-> UTF-16 conversion. Invalid input never raises: an undecodable
// sequence becomes U+FFFD and the byte that interrupted it is decoded anew.
#include <string_view>

#include "rtl/Types.h"

String UTF8ToUTF16(std::string_view utf8);
AnsiString UTF16ToUTF8(std::u16string_view utf16);
