#include "channel/src/maxItems.h"

#include <climits>

#include "platform/src/cLocale.h"

namespace channel {

std::optional<MaxItems> MaxItems::parse(std::wstring_view text) {
  text = platform::trimSpaceC(text);
  if (text.empty()) return MaxItems(kDefault);
  std::size_t i = 0;
  const bool negative = text[0] == L'-';
  if (text[0] == L'+' || negative) ++i;
  // Past INT_MAX nothing is accepted, so the digits need not be read further.
  long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9' && value <= INT_MAX; ++i) {
    value = value * 10 + (text[i] - L'0');
  }
  if (negative || value < 1 || value > INT_MAX) return std::nullopt;
  return MaxItems(static_cast<int>(value));
}

}  // namespace channel
