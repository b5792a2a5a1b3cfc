#include "platform/src/prefaultMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

void prefaultMemory(void* begin, std::size_t bytes) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(begin);
  const std::uintptr_t first = (start + page - 1) / page * page;
  const std::uintptr_t end = (start + bytes) / page * page;
  if (end <= first) return;
  // A failure only means the pages fault one by one, as they would have.
  (void)::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
}

}  // namespace platform
