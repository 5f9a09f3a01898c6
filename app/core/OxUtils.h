#pragma once
// String routines the application uses for its translated texts: "|" to
// line breaks (ReplaceAllText), caption~hint pairs (ExtractDelimitedField).
// They are shared with the controls, so they live with the other text
// helpers in rtl/SysUtils.h.
#include "rtl/SysUtils.h"
