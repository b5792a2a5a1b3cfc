// Parses arbitrary text as a control string; whatever is accepted must keep the rules and
// read back the same from its canonical form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "i18n/src/controlString.h"
#include "platform/src/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text =
      platform::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  i18n::ControlString parsed;
  if (!i18n::parseControlString(text, parsed)) return 0;
  if (parsed.defaultId <= 0) std::abort();
  std::wstring canonical = L"[*:" + std::to_wstring(parsed.defaultId) + L":";
  for (const auto& [key, id] : parsed.indexedIds) {
    if (key < 0 || id <= 0) std::abort();
    if (parsed.select(key) != id) std::abort();
    canonical += std::to_wstring(key) + L">" + std::to_wstring(id) + L":";
  }
  canonical += L"*]";
  i18n::ControlString again;
  if (!i18n::parseControlString(canonical, again) || again.defaultId != parsed.defaultId ||
      again.indexedIds != parsed.indexedIds) {
    std::abort();
  }
  return 0;
}
