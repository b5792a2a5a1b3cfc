#include "net/src/gunzip.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <sstream>

#include "lib/log/src/log.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/hexDump.h"
#include "net/src/istring.h"
#include "net/src/msgGroups.h"

namespace net {
namespace {

constexpr std::size_t kFixedHeaderSize = 10;
constexpr std::size_t kLoggedHeaderBytes = 256;
constexpr std::size_t kOutputStep = 0x4000;
constexpr unsigned char kFlagHeaderCrc = 2, kFlagExtra = 4, kFlagName = 8, kFlagComment = 16;

[[noreturn]] void fail(int id) {
  throw misc::wruntime_error(internal::istring(id));
}

[[noreturn]] void failWithCode(int id, int code) {
  throw misc::wruntime_error(internal::istring(id).format(std::to_wstring(code)));
}

// Where the deflate stream starts, after the optional header fields. A field that runs past
// the end leaves nothing to inflate, as a header that ends there does.
std::size_t deflateStart(const ByteVector& data) {
  if (data.size() < kFixedHeaderSize) fail(11510);
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data[i]); };
  if (byte(0) != 0x1F || byte(1) != 0x8B) fail(11511);
  if (byte(2) != Z_DEFLATED) fail(11512);
  const unsigned char flags = byte(3);
  const std::size_t size = data.size();
  std::size_t cursor = kFixedHeaderSize;
  if ((flags & kFlagExtra) != 0) {
    if (size - cursor < 2) fail(11510);
    cursor += 2 + (byte(cursor) | (std::size_t{byte(cursor + 1)} << 8));
  }
  for (const unsigned char field : {kFlagName, kFlagComment}) {
    if ((flags & field) == 0 || cursor >= size) continue;
    const auto end =
        std::find(data.begin() + static_cast<std::ptrdiff_t>(cursor), data.end(), '\0');
    cursor = static_cast<std::size_t>(end - data.begin()) + 1;
  }
  if ((flags & kFlagHeaderCrc) != 0) cursor += 2;
  if (cursor >= size) fail(11510);
  return cursor;
}

// The inflated size as the trailer states it, when the body ends in a trailer that could
// be true: deflate expands at most 1032 times. Only a hint, for the one allocation.
std::size_t statedSize(const ByteVector& data, std::size_t start) {
  constexpr std::size_t kTrailerSize = 8, kMostExpansion = 1032;
  if (data.size() - start < kTrailerSize) return 0;
  const auto byte = [&](std::size_t i) {
    return std::size_t{static_cast<unsigned char>(data[data.size() - 4 + i])};
  };
  const std::size_t size = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
  return size / kMostExpansion <= data.size() - start ? size : 0;
}

void logCompressed(const ByteVector& data) {
  PG_LOG(internal::httpActivityGroup())
      << L"Decompressing a compressed HTTP response: #bytes=" << data.size();
  if (!internal::httpActivityGroup().isEnabled() || data.empty()) return;
  std::wostringstream dump;
  internal::writeHexDump(dump, {data.data(), std::min(data.size(), kLoggedHeaderBytes)}, L"  ");
  std::wstring text = dump.str();
  text.pop_back();  // the message ends its own last line
  PG_LOG(internal::httpActivityGroup()) << text;
}

// Ends the zlib stream on every path.
class Inflater {
 public:
  Inflater() {
    const int rc = inflateInit2(&stream_, -MAX_WBITS);  // raw deflate: no zlib header
    if (rc != Z_OK) failWithCode(11513, rc);
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // Inflates all of `input` that the deflate stream covers into `output`, which ends at
  // exactly the inflated size.
  void run(const char* input, std::size_t length, ByteVector& output) {
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input));
    for (;;) {
      feed(input, length);
      const std::size_t used = output.size();
      output.resize(used + kOutputStep);
      stream_.next_out = reinterpret_cast<Bytef*>(output.data() + used);
      stream_.avail_out = static_cast<uInt>(kOutputStep);
      const int rc = inflate(&stream_, Z_NO_FLUSH);
      output.resize(used + kOutputStep - stream_.avail_out);
      if (rc == Z_STREAM_END) return;
      if (rc != Z_OK) failWithCode(11514, rc);
    }
  }

 private:
  // zlib counts input in 32 bits: hand a longer body over in slices.
  void feed(const char* input, std::size_t length) {
    if (stream_.avail_in != 0) return;
    const std::size_t consumed = reinterpret_cast<const char*>(stream_.next_in) - input;
    stream_.avail_in = static_cast<uInt>(std::min<std::size_t>(length - consumed, UINT_MAX));
  }

  z_stream stream_{};
};

}  // namespace

void gunzipResponseData(ByteVector& data) {
  logCompressed(data);
  const std::size_t start = deflateStart(data);
  PG_LOG(internal::httpActivityGroup())
      << L"Starting decompression at offset " << start << L" ; #bytes=" << data.size() - start;
  ByteVector plain;
  try {
    // The last inflate call still asks for a whole step of room.
    plain.reserve(statedSize(data, start) + kOutputStep);
  } catch (const std::exception&) {
    // The output grows as it is inflated instead.
  }
  Inflater inflater;
  inflater.run(data.data() + start, data.size() - start, plain);
  data.swap(plain);
}

}  // namespace net
