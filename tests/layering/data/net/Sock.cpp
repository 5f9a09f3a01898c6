#include "rtl/Win32.h"
#include <WinSock2.h>
