#include "platform/src/executable.h"

#include <unistd.h>

#include <vector>

#include "platform/src/utf8.h"

namespace platform {

std::wstring executablePath() {
  std::vector<char> buffer(1024);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) {
      return fromUtf8(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace platform
