#include "i18n/src/stringTable.h"

#include <algorithm>

namespace i18n::internal {

const char* findBuiltInString(int id) {
  const StringTableEntry* end = kStringTable + kStringTableSize;
  const StringTableEntry* found = std::lower_bound(
      kStringTable, end, id, [](const StringTableEntry& e, int key) { return e.id < key; });
  return found != end && found->id == id ? found->utf8 : nullptr;
}

}  // namespace i18n::internal
