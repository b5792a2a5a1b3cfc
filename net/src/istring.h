#pragma once
// The localised strings of the network module: net::internal::istring(id) loads string `id`
// (block 11500) through the module's own string chain.

#include "i18n/src/istring.h"

PG_MODULE_ISTRING(net)
