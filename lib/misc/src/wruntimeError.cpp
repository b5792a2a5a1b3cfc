#include "lib/misc/src/wruntimeError.h"

#include "lib/misc/src/textConversion.h"

namespace misc {

namespace {
constexpr std::size_t kWhatLimit = 255;
}

std::string truncatedUtf8(const std::wstring& message, std::size_t maxBytes) {
  std::string bytes = toUtf8(message);
  if (bytes.size() <= maxBytes) return bytes;
  std::size_t cut = maxBytes;
  while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
  bytes.resize(cut);
  return bytes;
}

wruntime_error::wruntime_error(const std::wstring& message)
    : std::runtime_error(truncatedUtf8(message, kWhatLimit)),
      message_(std::make_shared<const std::wstring>(message)) {}

std::wstring exceptionText(const std::exception& e) {
  if (const auto* wide = dynamic_cast<const wruntime_error*>(&e)) return wide->wideMessage();
  return fromAnsi(e.what());
}

}  // namespace misc
