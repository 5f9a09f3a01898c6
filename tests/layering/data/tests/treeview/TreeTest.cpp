#include "treeview/Tree.h"
#include "rtl/Types.h"
#include "tests/fixture/Server.h"
#include "tests/treeview/Support.h"
#include "tests/net/Fake.h"
#include "vcl/Classes.h"
#ifdef _WIN32
#include "rtl/Win32.h"
#endif
