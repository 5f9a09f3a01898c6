#include "rtl/Types.h"
#include "vcl/Classes.h"
