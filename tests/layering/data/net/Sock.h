#pragma once
#include "rtl/Types.h"
