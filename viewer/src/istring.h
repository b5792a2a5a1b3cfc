#pragma once
// The localised strings of the viewer: viewer::internal::istring(id) loads string `id`
// through the module's own string chain; message() gives it formatted, as Qt text.

#include <QString>
#include <initializer_list>

#include "i18n/src/istring.h"

PG_MODULE_ISTRING(viewer)

namespace viewer::internal {

// String `id` with %1, %2... replaced by `arguments`; empty when the string is missing or
// the result is too long (2048 characters or more). Any thread may call.
QString message(int id, std::initializer_list<QString> arguments = {});

}  // namespace viewer::internal
