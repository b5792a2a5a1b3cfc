// Feeds arbitrary bytes to the INI reader. Whatever it reads must be writable, and writing,
// reading and writing again must give the same bytes.

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

  std::string write() {
    std::ostringstream out;
    writeTo(out);
    return out.str();
  }
};

std::string readAndWrite(const std::string& bytes, std::uint32_t flags) {
  FuzzStore store(flags);
  std::istringstream in(bytes);
  store.loadFrom(in);
  try {
    return store.write();
  } catch (const config::Exception&) {
    // The one name a file cannot carry where it was read: a root key that starts with a
    // byte-order mark would open the file, where the mark is dropped.
    const auto& keys = store.root().values();
    if (keys.empty() || !keys.begin()->first.starts_with(L'\uFEFF')) std::abort();
    return {};
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint32_t flags = data[0] & 0x0F;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string first = readAndWrite(bytes, flags);
  if (!first.empty() && readAndWrite(first, flags) != first) std::abort();
  return 0;
}
