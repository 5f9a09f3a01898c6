#pragma once
// Helpers shared by the XML model, parser and writer sources; not for other units.
#include "rtl/Types.h"

namespace KelXml {

Char AsciiUpper(Char C);
String AsciiUpperCase(const String& S);
bool SameTextAscii(const String& A, const String& B);
bool IsAsciiSpace(Char C);
String TrimLeftAsciiSpace(const String& S);
// The run-time library's trims: every unit up to 0x20 counts as blank.
String TrimLeftControl(const String& S);
String TrimRightControl(const String& S);
String IntText(Int64 V);
bool TryTextToInt64(const String& S, Int64& Out);
String Utf16FromAscii(const char* S);

// Writes the bytes to a temporary file beside FileName, flushes it to disk
// and renames it over FileName; on any failure the old file stays as it was
// and the temporary file is removed. Raises EFCreateError or EWriteError.
void ReplaceFileContents(const String& FileName, const void* Data, size_t Size);

}  // namespace KelXml
