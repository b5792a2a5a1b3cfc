#include "net/src/localPage.h"

#include <algorithm>
#include <cstdint>

#include "net/src/bodyLimit.h"
#include "net/src/istring.h"
#include "platform/src/systemError.h"
#include "platform/src/utf8.h"

namespace net {

platform::RegularFileResult readLocalPage(const std::wstring& path,
                                          const std::function<void(std::string_view)>& take) {
  const std::uint64_t most = BodyLimit().most();
  return platform::readRegularFile(
      platform::toUtf8Escaped(path),
      static_cast<std::size_t>(std::min<std::uint64_t>(most, SIZE_MAX)), take);
}

std::wstring localPageErrorText(const platform::RegularFileResult& result) {
  if (result.ok()) return {};
  if (result.stage == platform::RegularFileResult::Stage::TooLarge) return BodyLimit().text();
  if (result.stage == platform::RegularFileResult::Stage::NotRegular && result.error == 0) {
    return internal::istring(11553);
  }
  return platform::systemErrorText(result.error);
}

}  // namespace net
