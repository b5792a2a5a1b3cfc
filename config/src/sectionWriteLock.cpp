#include "config/src/sectionWriteLock.h"

#include "config/src/exception.h"
#include "config/src/istring.h"
#include "config/src/sectionPath.h"
#include "config/src/store.h"
#include "lib/log/src/log.h"

namespace config {

SectionWriteLock::SectionWriteLock(Store& store, const std::wstring& sectionPath) : store_(store) {
  lock_.emplace(&store.lock(), PG_HERE);
  internal::requireSectionPath(sectionPath);
  section_ = store.findSection(sectionPath, true);
  token_ = store.allocDeferSave();
}

SectionWriteLock::~SectionWriteLock() {
  lock_.reset();
  // A save that fails here cannot be thrown from a destructor: it is logged, the store
  // stays dirty and the next save tries again.
  try {
    store_.releaseDeferSave(token_.get());
  } catch (const std::exception& e) {
    PG_LOG_ALWAYS() << misc::exceptionText(e);
  }
}

}  // namespace config
