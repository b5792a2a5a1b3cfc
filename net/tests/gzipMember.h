#pragma once
// gzip members built field by field, for tests that need every optional header field.

#include <string>
#include <string_view>

namespace net::test {

struct GzipFields {
  unsigned char flags = 0;  // FHCRC 2, FEXTRA 4, FNAME 8, FCOMMENT 16
  std::string extra;        // with FEXTRA
  std::string name;         // with FNAME, stored with its terminator
  std::string comment;      // with FCOMMENT, likewise
};

// The raw deflate stream of `plain` (no zlib header or trailer).
std::string rawDeflate(std::string_view plain);
// Header, deflate stream of `plain`, then the CRC-32 and size trailer.
std::string gzipMember(std::string_view plain, const GzipFields& fields = {});
// `size` bytes that compress a little but not to nothing.
std::string sampleText(std::size_t size);

}  // namespace net::test
