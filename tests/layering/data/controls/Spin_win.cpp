#include "vcl/Classes.h"
