// Decodes arbitrary bodies, whole and as they would arrive, and checks what a decode
// promises: a failure leaves the bytes as they were; a success gives what zlib itself
// inflates from the same deflate stream; pieces decode as the whole does, and under a small
// limit a body stops within a step past it, and only when it inflates to more.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "lib/misc/src/wruntimeError.h"
#include "net/src/gunzip.h"
#include "net/src/gzipStream.h"

namespace {

constexpr std::size_t kLimit = 4096;

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

struct Outcome {
  bool ok = false;
  bool tooLarge = false;
  net::ByteVector plain;
};

// The body in pieces of `piece` bytes, under `limit` (0: none).
Outcome streamed(std::string_view body, std::size_t piece, std::uint64_t limit) {
  Outcome outcome;
  try {
    net::GzipStream gzip(outcome.plain, net::BodyLimit(limit));
    for (std::size_t at = 0; at < body.size(); at += piece) gzip.write(body.substr(at, piece));
    gzip.finish();
    outcome.ok = true;
  } catch (const misc::wruntime_error& e) {
    outcome.tooLarge = e.wideMessage() == net::BodyLimit(limit).text();
  }
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const net::ByteVector body(data, data + size);
  net::ByteVector decoded = body;
  bool whole = true;
  try {
    net::gunzipResponseData(decoded);
  } catch (const misc::wruntime_error&) {
    if (decoded != body) std::abort();
    whole = false;
  }
  if (whole && !zlibAgrees(body, decoded)) std::abort();

  // The split point comes from the input, so that the fuzzer steers it too.
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t piece = size == 0 ? 1 : 1 + data[size - 1] % 64;
  const Outcome pieces = streamed(bytes, piece, 0);
  if (pieces.ok != whole || (whole && pieces.plain != decoded)) std::abort();
  const Outcome limited = streamed(bytes, piece, kLimit);
  if (limited.plain.size() > kLimit + net::GzipStream::kOutputStep) std::abort();
  if (whole) {
    const bool over = decoded.size() > kLimit;
    if (limited.tooLarge != over || limited.ok == over) std::abort();
    if (limited.ok && limited.plain != decoded) std::abort();
  } else if (limited.ok) {
    std::abort();
  }
  return 0;
}
