#pragma once
// Taking in at once the memory of a region that is about to be written whole: one call
// instead of a page fault for every page, which for a body of hundreds of MB costs more
// than receiving it.

#include <cstddef>

namespace platform {

// Makes the whole pages inside [begin, begin + bytes) present and writable, as a first
// write to each would (so running out of memory ends alike); their content stays as it is.
// Best effort: where the kernel cannot (before Linux 5.14) the pages fault one by one as
// usual. The region must be memory of the caller's, mapped read-write. Any thread.
void prefaultMemory(void* begin, std::size_t bytes);

}  // namespace platform
