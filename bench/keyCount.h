#pragma once
// The number of keys in a loaded store: what a benchmark checks to know the load was done.

#include <cstddef>
#include <string>

#include "config/src/iniFileStore.h"

namespace bench {

inline std::size_t keyCount(config::IniFileStore& store) {
  std::size_t count = 0;
  store.enumKeys([](config::StoreSection&, const std::wstring&, const std::wstring&,
                    void* n) { return ++*static_cast<std::size_t*>(n), true; },
                 &count);
  return count;
}

}  // namespace bench
