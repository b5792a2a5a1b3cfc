#include "config/src/sectionReadLock.h"

#include "config/src/store.h"

namespace config {

SectionReadLock::SectionReadLock(Store& store, const std::wstring& sectionPath)
    : lock_(&store.lock(), PG_HERE), section_(store.findSection(sectionPath, false)) {}

}  // namespace config
