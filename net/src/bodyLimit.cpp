#include "net/src/bodyLimit.h"

#include "lib/misc/src/wruntimeError.h"
#include "net/src/istring.h"
#include "net/src/networkSettings.h"
#include "net/src/sizeText.h"

namespace net {

BodyLimit::BodyLimit() : BodyLimit(networkSettings().maxBodyBytes) {}

void BodyLimit::fail() const {
  throw misc::wruntime_error(text());
}

std::wstring BodyLimit::text() const {
  return internal::istring(11560).format(sizeText(most_));
}

}  // namespace net
