// Formats arbitrary text with arbitrary arguments and checks the formatter's promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/src/formatMessage.h"
#include "platform/src/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte picks the buffer limit; then the format and the arguments, split at NULs.
  if (size == 0) return 0;
  const std::size_t limit = data[0] % 4 == 0 ? 0 : data[0] * 4u;
  const std::wstring text =
      platform::fromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == L'\0') {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  const std::wstring format = parts.front();
  const std::vector<std::wstring> args(parts.begin() + 1, parts.end());
  std::wstring out = L"stale";
  const bool ok = platform::formatMessage(format, args, limit, out);
  if (!ok && !out.empty()) std::abort();                      // a failure leaves nothing
  if (ok && limit != 0 && out.size() >= limit) std::abort();  // a success fits
  if (!ok && limit == 0) std::abort();                        // no limit, no failure
  if (ok && format.find(L'%') == std::wstring::npos && out != format) std::abort();
  return 0;
}
