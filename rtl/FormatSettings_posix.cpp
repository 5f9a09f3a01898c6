#include "rtl/FormatSettings.h"

// Without Windows' locale database the user locale is taken as en-US: the
// program's numbers and dates then read the same on every build machine.
TFormatSettings TFormatSettings::Create() { return English(); }
