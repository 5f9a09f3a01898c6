#include "app/core/uIntl.h"
#include "vcl/Win32.h"

Integer UserDefaultPrimaryLanguage() { return PRIMARYLANGID(GetUserDefaultUILanguage()); }
