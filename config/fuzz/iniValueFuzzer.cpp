// The INI fast paths against their plain forms on the same bytes: line splitting, the key
// of a key line (blanks trimmed before decoding), value decoding (no '%' taken as it
// stands), the writer's byte-level key check and its run-at-a-time encoding. The first byte
// picks the comment flags and whether more bytes may follow.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
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

// The key of a key line decoded whole, then trimmed a character at a time; none for a
// line that is no key line.
std::optional<std::wstring> plainKey(std::string_view line, std::uint32_t flags) {
  using namespace config::internal;
  const std::string_view rest = skipBlanks(line);
  const auto equals = line.find('=');
  if (rest.empty() || isComment(rest, flags) || rest.starts_with('[') || equals == line.npos) {
    return std::nullopt;
  }
  const std::wstring key = platform::plain::fromUtf8Escaped(line.substr(0, equals));
  std::size_t begin = 0;
  std::size_t end = key.size();
  while (begin < end && platform::plain::isSpaceC(key[begin])) ++begin;
  while (end > begin && platform::plain::isSpaceC(key[end - 1])) --end;
  if (begin == end) return std::nullopt;
  return key.substr(begin, end - begin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint32_t flags = data[0] & 0x0F;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  using namespace config::internal;
  const bool final = (data[0] & 0x10) != 0;
  std::string_view fast = bytes;
  std::string_view plainText = bytes;
  while (true) {
    const auto line = takeCompleteLine(fast, final);
    check(line == plain::takeCompleteLine(plainText, final) && fast.data() == plainText.data() &&
          fast.size() == plainText.size());
    if (!line) break;
    const auto keyLine = parseKeyLine(*line, flags);
    const auto key = plainKey(*line, flags);
    check(keyLine.has_value() == key.has_value() && (!key || keyLine->key == *key));
  }

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
