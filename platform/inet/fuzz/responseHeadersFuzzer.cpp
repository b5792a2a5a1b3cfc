// Feeds arbitrary header lines to the response-header parser and checks its promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/responseHeaders.h"

using platform::inet::internal::ResponseHeaders;

namespace {

void check(bool promise) {
  if (!promise) std::abort();
}

bool holdsLineEnd(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte picks the size limit; the rest is lines, each with its LF.
  if (size == 0) return 0;
  const std::size_t limit = 16 + data[0] * 16u;
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  ResponseHeaders headers(limit);
  std::size_t taken = 0;
  bool tooLarge = false;
  while (!input.empty()) {
    const std::size_t end = std::min(input.find('\n'), input.size() - 1) + 1;
    const std::string_view line = input.substr(0, end);
    input.remove_prefix(end);
    const ResponseHeaders::Line result = headers.addLine(line);
    check(!tooLarge || result == ResponseHeaders::Line::TooLarge);  // once over, always over
    tooLarge = result == ResponseHeaders::Line::TooLarge;
    if (!tooLarge) taken += line.size();
    check(taken <= limit);
    if (result == ResponseHeaders::Line::BlockEnd) check(headers.complete());
  }
  const int status = headers.statusCode();
  check(status == 0 || (status >= 100 && status <= 999));
  std::string value;
  check(headers.query(platform::inet::HTTP_QUERY_STATUS_CODE, value) == (status != 0));
  if (status != 0) check(value == std::to_string(status));
  for (std::uint32_t code = 0; code < 80; ++code) {
    const bool known = ResponseHeaders::knownQuery(code);
    const bool found = headers.query(code, value);
    check(known || !found);
    if (found && code != platform::inet::HTTP_QUERY_RAW_HEADERS_CRLF && code != 21) {
      check(!holdsLineEnd(value));
      check(value.size() <= limit);
    }
    if (const char* name = ResponseHeaders::headerName(code)) {
      std::string byName;
      check(headers.find(name, byName) == found);
      if (found) check(byName == value);
    }
  }
  return 0;
}
