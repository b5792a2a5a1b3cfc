#include "net/src/sizeText.h"

#include "tools/src/istring.h"

namespace net {
namespace {

constexpr std::uint64_t kKilo = 1024, kMega = kKilo * kKilo, kGiga = kMega * kKilo;

// `bytes / unit` with two decimals, rounded half up, without ".00".
std::wstring scaled(std::uint64_t bytes, std::uint64_t unit) {
  const std::uint64_t hundredths = bytes / unit * 100 + (bytes % unit * 100 + unit / 2) / unit;
  std::wstring text = std::to_wstring(hundredths / 100);
  const unsigned fraction = static_cast<unsigned>(hundredths % 100);
  if (fraction != 0) {
    text += L'.';
    text += static_cast<wchar_t>(L'0' + fraction / 10);
    text += static_cast<wchar_t>(L'0' + fraction % 10);
  }
  return text;
}

}  // namespace

std::wstring sizeText(std::uint64_t bytes) {
  if (bytes < kKilo) {
    const int count = static_cast<int>(bytes);
    return tools::internal::istring(11113, count).format(std::to_wstring(count));
  }
  const auto [unit, id] = bytes < kMega   ? std::pair{kKilo, 11114}
                          : bytes < kGiga ? std::pair{kMega, 11115}
                                          : std::pair{kGiga, 11116};
  return scaled(bytes, unit) + L' ' + tools::internal::istring(id);
}

}  // namespace net
