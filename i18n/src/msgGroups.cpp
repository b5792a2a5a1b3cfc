#include "i18n/src/msgGroups.h"

namespace i18n::internal {

msgGroup& autoLoadResourceBundlesGroup() {
  static msgGroup group(L"AutoLoadResourceBundles");
  return group;
}

msgGroup& indexedResourceBundleStringsGroup() {
  static msgGroup group(L"IndexedResourceBundleStrings");
  return group;
}

msgGroup& istringGuardsGroup() {
  static msgGroup group(L"IstringGuards");
  return group;
}

namespace {

bool registerGroups() {
  autoLoadResourceBundlesGroup();
  indexedResourceBundleStringsGroup();
  istringGuardsGroup();
  return true;
}

// Registered at start-up, in this order, so that they can be found by name before first use.
[[maybe_unused]] const bool registered = registerGroups();

}  // namespace

}  // namespace i18n::internal
