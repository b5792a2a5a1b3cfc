// The INI fast paths against their plain forms on the same bytes: value decoding (no '%'
// taken as it stands), the writer's byte-level key check and its run-at-a-time encoding.
// The first byte picks the comment flags.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/src/iniSyntax.h"
#include "lib/misc/src/urlEncode.h"
#include "platform/src/plainText.h"
#include "platform/src/utf8.h"

namespace {

void check(bool same) {
  if (!same) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint32_t flags = data[0] & 0x0F;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  using namespace config::internal;
  check(decodeValue(bytes) == platform::plain::fromUtf8Escaped(misc::urlDecode(bytes)));

  const std::wstring key = platform::fromUtf8Escaped(bytes);
  check(keyBytesReadBack(key, platform::toUtf8Escaped(key), flags) == keyReadsBack(key, flags));

  // The bytes' second half is the set of extra bytes to encode.
  const std::string_view extra = bytes.substr(bytes.size() / 2);
  const std::string_view value = bytes.substr(0, bytes.size() / 2);
  std::string appended = "kept";
  misc::appendUrlEncoded(value, extra, appended);
  check(appended == "kept" + misc::plain::urlEncode(value, extra));
  check(misc::urlEncode(value, extra) == misc::plain::urlEncode(value, extra));
  return 0;
}
