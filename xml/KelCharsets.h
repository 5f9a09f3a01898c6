#pragma once
// Charset names of XML "encoding" declarations to Windows code pages and
// back, through one fixed table; a lookup takes the first matching row.
#include "rtl/Types.h"
#include "xml/KelStringConversions.h"

QUORVEL_DECLARE_EXCEPTION(EKelCharsetError, EKelError);

// Names compare after ASCII upper-casing only (a-z). Both raise
// EKelCharsetError "No matching charset" when no row matches.
Word CharsetNameToCodePage(const String& Name);
String CodePageToCharsetName(Word CodePage);
