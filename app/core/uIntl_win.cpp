#include "app/core/uIntl.h"
#include "rtl/Win32.h"

Integer UserDefaultPrimaryLanguage() { return PRIMARYLANGID(GetUserDefaultUILanguage()); }
