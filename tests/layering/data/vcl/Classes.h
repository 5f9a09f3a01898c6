#include "rtl/Win32.h"
#include "rtl/Types.h"
