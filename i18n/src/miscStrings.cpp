#include "i18n/src/miscStrings.h"

#include "i18n/src/abortCaption.h"
#include "i18n/src/resourceBundleChain.h"

namespace misc::internal {

::i18n::ResourceBundleChain& stringChain() {
  static ::i18n::ResourceBundleChain& chain = [&]() -> ::i18n::ResourceBundleChain& {
    // The abort report's caption is a misc string; whoever links the chain gets it.
    ::i18n::internal::installAbortCaptionSource();
    return *new ::i18n::ResourceBundleChain(L"misc");  // never freed: see istring.h
  }();
  return chain;
}

namespace {
// The chain exists from static initialisation on, as the module expects.
[[maybe_unused]] const bool stringChainCreated = (stringChain(), true);
}  // namespace

}  // namespace misc::internal
