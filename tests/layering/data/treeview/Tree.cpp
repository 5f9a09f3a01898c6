#include "rtl/Types.h"

#include "vcl/Classes.h"
#include <vcl/Classes.h>
#include <net/if.h>
