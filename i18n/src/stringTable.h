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

namespace i18n::internal {

// The language pack entry point's contract over the program's own table: copies the entry's
// bytes, cut to bufferSize - 1, with a NUL; returns the count, 0 for an absent or empty entry.
int loadBuiltInString(int id, char* buffer, int bufferSize);

}  // namespace i18n::internal
