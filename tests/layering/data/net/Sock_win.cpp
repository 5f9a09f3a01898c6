#include "rtl/Win32.h"
#include <winsock2.h>
#include "net/Sock.h"
