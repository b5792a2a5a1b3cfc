#pragma once
// The control string of an indexed (plural-selecting) string: it maps an index value, usually
// a count, to the id of the string to use.
//
//     "[*:11159:1>11160:*]"   index 1 -> 11160, any other index -> 11159
//
// Form: "[*:" D ":" { K ">" V ":" } "*]" with D, K, V unsigned decimal digits only, D and V
// not 0 and each fitting a signed 32-bit id. A repeated K keeps its first V.

#include <map>
#include <string>
#include <string_view>

namespace i18n {

struct ControlString {
  int defaultId = 0;
  std::map<int, int> indexedIds;  // index value -> string id

  // The id for `indexVal`: an exact key match, else the default.
  int select(int indexVal) const;
  // "K=>V ; K=>V" in ascending key order, for the log.
  std::wstring describeEntries() const;
};

// Parses `text`; false when it breaks any rule above (`out` is then of no use).
bool parseControlString(std::wstring_view text, ControlString& out);

}  // namespace i18n
