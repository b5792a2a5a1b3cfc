#include "net/src/bodyLimit.h"

#include <algorithm>

#include "lib/misc/src/wruntimeError.h"
#include "net/src/istring.h"
#include "net/src/networkSettings.h"
#include "net/src/sizeText.h"

namespace net {

BodyLimit::BodyLimit() : BodyLimit(networkSettings().maxBodyBytes) {}

void BodyLimit::fail() const {
  throw misc::wruntime_error(text());
}

void BodyLimit::makeRoom(ByteVector& body, std::size_t extra) const {
  const std::size_t wanted = body.size() + extra;
  if (wanted <= body.capacity()) return;
  // Once doubling would reach the limit, the last growth takes the limit and `extra`.
  const std::uint64_t doubled = 2 * std::uint64_t{body.capacity()};
  const std::uint64_t grown =
      doubled < most_ ? doubled : (most_ > UINT64_MAX - extra ? UINT64_MAX : most_ + extra);
  body.reserve(std::max<std::size_t>(wanted, static_cast<std::size_t>(grown)));
}

std::wstring BodyLimit::text() const {
  return internal::istring(11561).format(sizeText(most_));
}

}  // namespace net
