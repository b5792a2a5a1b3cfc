#pragma once
// Helpers for the template tests: expanding text in memory, the heap in use, and building
// file trees in a private temporary directory.

#include <malloc.h>
#include <stdlib.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "lib/misc/src/textConversion.h"
#include "templateProcessor/src/templateProcessor.h"

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

// A directory removed with everything in it when the object dies.
class TempTree {
 public:
  TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tptest-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
  }
  ~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The wide path of `relative` inside the tree ("" for the tree itself).
  std::wstring path(std::wstring_view relative = {}) const {
    return relative.empty() ? misc::fromUtf8(root_.string())
                            : misc::fromUtf8((root_ / misc::toUtf8(relative)).string());
  }
  // Writes `bytes` to `relative`, creating its directories.
  void write(std::wstring_view relative, std::string_view bytes) const {
    const std::filesystem::path file = root_ / misc::toUtf8(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
  std::string read(std::wstring_view relative) const {
    std::ifstream file(root_ / misc::toUtf8(relative), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }
  bool exists(std::wstring_view relative) const {
    return std::filesystem::exists(root_ / misc::toUtf8(relative));
  }

 private:
  std::filesystem::path root_;
};

}  // namespace templateProcessor::testing
