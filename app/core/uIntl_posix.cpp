#include "app/core/uIntl.h"

// No system language to ask here: callers that want French pass 12 to
// ChoisitLangue themselves.
Integer UserDefaultPrimaryLanguage() { return 0; }
