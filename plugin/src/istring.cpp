#include "plugin/src/istring.h"

#include "i18n/src/resourceBundleChain.h"

PG_MODULE_STRING_CHAIN(plugin)
