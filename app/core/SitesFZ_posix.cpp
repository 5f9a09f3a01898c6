#include "app/core/SitesFZ.h"

// No FileZilla installation to find here: callers give the site file's path.
String GetAppDataDir() { return String(); }
