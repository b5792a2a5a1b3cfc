#pragma once
// The localised strings of the settings editor: settingsEditor::internal::istring(id) loads
// string `id` through the module's own string chain.

#include "i18n/src/istring.h"

PG_MODULE_ISTRING(settingsEditor)
