#pragma once
// Helpers for the template tests: expanding text in memory, the heap in use, and building
// file trees in a scratch directory.

#include <malloc.h>

#include <cstddef>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "lib/misc/src/textConversion.h"
#include "templateProcessor/src/templateProcessor.h"
#include "testSupport/src/scratchDir.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own count of live heap bytes (its header ships with clang only).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace templateProcessor::testing {

inline std::wstring expand(TemplateProcessor& processor, std::wstring_view text,
                           const tools::RenderPolicy* table = nullptr) {
  std::wistringstream input{std::wstring(text)};
  std::wostringstream output;
  processor.process(input, output, table);
  return output.str();
}

// Heap bytes the process holds now, as its allocator counts them.
inline std::size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

// A scratch directory addressed by wide relative paths, as templates name their files.
class TempTree {
 public:
  // The wide path of `relative` inside the tree ("" for the tree itself).
  std::wstring path(std::wstring_view relative = {}) const {
    return dir_.wfile(misc::toUtf8(relative));
  }
  // Writes `bytes` to `relative`, creating its directories.
  void write(std::wstring_view relative, std::string_view bytes) const {
    dir_.write(misc::toUtf8(relative), bytes);
  }
  std::string read(std::wstring_view relative) const { return dir_.read(misc::toUtf8(relative)); }
  bool exists(std::wstring_view relative) const {
    return std::filesystem::exists(dir_.file(misc::toUtf8(relative)));
  }

 private:
  testSupport::ScratchDir dir_{"tptest"};
};

}  // namespace templateProcessor::testing
