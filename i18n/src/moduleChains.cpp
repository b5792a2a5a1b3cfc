#include "i18n/src/moduleChains.h"

#include "i18n/src/abortCaption.h"

namespace i18n {

// Never deleted: strings may be loaded during static destruction.
#define PG_MODULE_CHAIN(name)                                               \
  ResourceBundleChain& name##Chain() {                                      \
    static ResourceBundleChain* chain = new ResourceBundleChain(L## #name); \
    return *chain;                                                          \
  }

PG_MODULE_CHAIN(tools)
PG_MODULE_CHAIN(win32tools)
PG_MODULE_CHAIN(config)
PG_MODULE_CHAIN(net)
PG_MODULE_CHAIN(templateProcessor)
#undef PG_MODULE_CHAIN

ResourceBundleChain& miscChain() {
  static ResourceBundleChain* chain = [] {
    // The abort report's caption is a misc string; whoever links the chains gets it.
    internal::installAbortCaptionSource();
    return new ResourceBundleChain(L"misc");
  }();
  return *chain;
}

namespace {

bool createChains() {
  miscChain();
  toolsChain();
  win32toolsChain();
  configChain();
  netChain();
  templateProcessorChain();
  return true;
}

// The chains exist from static initialisation on, as the modules expect.
[[maybe_unused]] const bool chainsCreated = createChains();

}  // namespace

}  // namespace i18n
