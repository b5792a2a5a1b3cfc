#pragma once
// The strings of the misc module. The module lies below the string machinery, so its
// istring class and string chain live here.

#include "i18n/src/istring.h"

PG_MODULE_ISTRING(misc)
