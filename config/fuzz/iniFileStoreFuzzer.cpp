// Feeds arbitrary bytes to the INI reader. Whatever it reads must be written without
// complaint, and reading what was written must give the same tree; writing that tree again
// gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "config/src/exception.h"
#include "config/src/iniFileStore.h"

namespace {

const wchar_t* const kBlockSections[] = {L"block", L"a/block", nullptr};

class FuzzStore : public config::IniFileStore {
 public:
  explicit FuzzStore(std::uint32_t flags) : IniFileStore(kBlockSections, flags) {}

  void read(const std::string& bytes) {
    std::istringstream in(bytes);
    loadFrom(in);
  }
  std::string write() {
    std::ostringstream out;
    try {
      writeTo(out);
    } catch (const config::Exception&) {
      std::abort();  // the store holds what was read, so it must be writable
    }
    return out.str();
  }
};

// Each text with its length, so that no two different trees give the same string.
void addText(std::wstring& out, const std::wstring& text) {
  out += std::to_wstring(text.size()) + L':' + text;
}

// The exact tree: every name in its spelling, every value, every block text.
void addSection(std::wstring& out, config::StoreSection& section) {
  addText(out, section.name());
  addText(out, section.blockDataRef());
  out += std::to_wstring(section.values().size()) + L'=';
  for (const auto& [key, value] : section.values()) {
    addText(out, key);
    addText(out, value);
  }
  out += std::to_wstring(section.children().size()) + L'[';
  for (auto& [name, child] : section.children()) addSection(out, *child);
}

std::wstring treeOf(FuzzStore& store) {
  std::wstring out;
  addSection(out, store.root());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint32_t flags = data[0] & 0x0F;
  FuzzStore loaded(flags);
  loaded.read(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  const std::string written = loaded.write();
  FuzzStore reread(flags);
  reread.read(written);
  if (treeOf(reread) != treeOf(loaded)) std::abort();
  if (reread.write() != written) std::abort();
  return 0;
}
