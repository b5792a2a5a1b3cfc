#include "config/src/overlayFile.h"

#include "config/src/iniFileStore.h"
#include "config/src/storeSection.h"
#include "lib/misc/src/sourceLocation.h"

namespace config {

namespace {

bool copyKey(StoreSection& section, const std::wstring& key, const std::wstring& value,
             void* target) {
  Store& store = *static_cast<Store*>(target);
  StoreSection* copy =
      section.isRoot() ? &store.root() : store.findSection(section.fullName(), true);
  copy->setString(key, value);
  return true;
}

}  // namespace

void overlayFile(Store& target, const std::wstring& path) {
  IniFileStore layer(nullptr, IniFileStore::useDefaultFlags);
  layer.loadFile(path);
  misc::ScopedWriteLock lock(&target.lock(), PG_HERE);
  layer.enumKeys(copyKey, &target);
}

}  // namespace config
