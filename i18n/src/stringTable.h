#pragma once
// The program's own string table, compiled in from i18n/strings.txt.

#include <cstddef>

namespace i18n::internal {

struct StringTableEntry {
  int id;
  const char* utf8;
};

// Sorted by id, ids unique.
extern const StringTableEntry kStringTable[];
extern const std::size_t kStringTableSize;

// The entry's UTF-8 text, or null when the table has no such id.
const char* findBuiltInString(int id);

}  // namespace i18n::internal
