// Decodes arbitrary bodies, and checks what a decode promises: a failure leaves the bytes
// as they were; a success gives what zlib itself inflates from the same deflate stream.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lib/misc/src/wruntimeError.h"
#include "net/src/gunzip.h"

namespace {

// zlib's own gzip decoding of the first member, header checks and trailer aside: inflate
// with automatic gzip detection stops at the member's end as ours does.
bool zlibAgrees(const net::ByteVector& body, const net::ByteVector& plain) {
  z_stream stream{};
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return true;
  net::ByteVector out(plain.size() + 1);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
  stream.avail_in = static_cast<uInt>(body.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&stream, Z_FINISH);
  const bool sameBytes =
      stream.total_out == plain.size() && std::equal(plain.begin(), plain.end(), out.begin());
  inflateEnd(&stream);
  // zlib also checks the trailer and the header CRC; only its successes must match ours.
  return rc != Z_STREAM_END || sameBytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const net::ByteVector body(data, data + size);
  net::ByteVector decoded = body;
  try {
    net::gunzipResponseData(decoded);
  } catch (const misc::wruntime_error&) {
    if (decoded != body) std::abort();
    return 0;
  }
  if (!zlibAgrees(body, decoded)) std::abort();
  return 0;
}
