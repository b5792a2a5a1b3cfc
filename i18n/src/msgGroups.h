#pragma once
// The message groups of the string machinery.

#include "lib/log/src/msgGroup.h"

namespace i18n::internal {

msgGroup& autoLoadResourceBundlesGroup();       // "AutoLoadResourceBundles"
msgGroup& indexedResourceBundleStringsGroup();  // "IndexedResourceBundleStrings"
msgGroup& istringGuardsGroup();                 // "IstringGuards"

}  // namespace i18n::internal
