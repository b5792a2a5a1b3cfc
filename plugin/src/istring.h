#pragma once
// The localised strings of the plug-in: plugin::internal::istring(id) loads string `id`
// through the module's own string chain.

#include "i18n/src/istring.h"

PG_MODULE_ISTRING(plugin)
