#include "i18n/src/moduleChains.h"

namespace i18n {

// Never deleted: strings may be loaded during static destruction.
#define PG_MODULE_CHAIN(name)                                       \
  ResourceBundleChain& name##Chain() {                              \
    static ResourceBundleChain* chain = new ResourceBundleChain(L## #name); \
    return *chain;                                                  \
  }

PG_MODULE_CHAIN(misc)
PG_MODULE_CHAIN(tools)
PG_MODULE_CHAIN(win32tools)
PG_MODULE_CHAIN(config)
PG_MODULE_CHAIN(net)
PG_MODULE_CHAIN(templateProcessor)
#undef PG_MODULE_CHAIN

}  // namespace i18n
