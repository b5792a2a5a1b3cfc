#include "i18n/src/stringTable.h"

#include <algorithm>
#include <cstring>

namespace i18n::internal {

const char* findBuiltInString(int id) {
  const StringTableEntry* end = kStringTable + kStringTableSize;
  const StringTableEntry* found = std::lower_bound(
      kStringTable, end, id, [](const StringTableEntry& e, int key) { return e.id < key; });
  return found != end && found->id == id ? found->utf8 : nullptr;
}

}  // namespace i18n::internal

namespace i18n::internal {

int loadBuiltInString(int id, char* buffer, int bufferSize) {
  const char* text = findBuiltInString(id);
  if (text == nullptr || bufferSize <= 0) return 0;
  const std::size_t length = std::min(std::strlen(text), static_cast<std::size_t>(bufferSize - 1));
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

}  // namespace i18n::internal
