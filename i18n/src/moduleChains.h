#pragma once
// The string chain of each library module, created on first use and kept for the life of
// the process.

#include "i18n/src/resourceBundleChain.h"

namespace i18n {

ResourceBundleChain& miscChain();
ResourceBundleChain& toolsChain();
ResourceBundleChain& win32toolsChain();
ResourceBundleChain& configChain();
ResourceBundleChain& netChain();
ResourceBundleChain& templateProcessorChain();

}  // namespace i18n
