#include "i18n/src/abortCaption.h"

#include <atomic>
#include <string>

#include "i18n/src/miscStrings.h"
#include "lib/misc/src/programAbort.h"

namespace i18n {
namespace {

std::atomic<const std::wstring*> loadedCaption{nullptr};  // process lifetime once set

std::wstring abortCaption() {
  if (const std::wstring* caption = loadedCaption.load()) return *caption;
  try {
    return misc::internal::istring(10101);
  } catch (...) {
    return {};  // the report falls back to its own caption
  }
}

}  // namespace

namespace internal {
void installAbortCaptionSource() {
  misc::setAbortCaptionSource(&abortCaption);
}
}  // namespace internal

void installAbortCaption() {
  internal::installAbortCaptionSource();
  if (loadedCaption.load() != nullptr) return;
  const std::wstring caption = abortCaption();
  if (caption.empty()) return;
  const std::wstring* expected = nullptr;
  const auto* kept = new std::wstring(caption);
  if (!loadedCaption.compare_exchange_strong(expected, kept)) delete kept;
}

}  // namespace i18n
