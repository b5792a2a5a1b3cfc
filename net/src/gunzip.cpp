#include "net/src/gunzip.h"

#include <algorithm>
#include <sstream>

#include "lib/log/src/log.h"
#include "net/src/gzipStream.h"
#include "net/src/hexDump.h"
#include "net/src/msgGroups.h"

namespace net {
namespace {

constexpr std::size_t kLoggedHeaderBytes = 256;

// The inflated size as the trailer states it, when the body ends in a trailer that could
// be true: deflate expands at most 1032 times. Only a hint, for the one allocation.
std::size_t statedSize(const ByteVector& data) {
  constexpr std::size_t kTrailerSize = 8, kMostExpansion = 1032;
  if (data.size() < kTrailerSize) return 0;
  const auto byte = [&](std::size_t i) {
    return std::size_t{static_cast<unsigned char>(data[data.size() - 4 + i])};
  };
  const std::size_t size = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
  return size / kMostExpansion <= data.size() ? size : 0;
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

}  // namespace

void gunzipResponseData(ByteVector& data) {
  logCompressed(data);
  ByteVector plain;
  try {
    // The last inflate call still asks for a whole step of room.
    plain.reserve(statedSize(data) + GzipStream::kOutputStep);
  } catch (const std::exception&) {
    // The output grows as it is inflated instead.
  }
  GzipStream gzip(plain, BodyLimit(0));
  gzip.write({data.data(), data.size()});
  gzip.finish();
  data.swap(plain);
}

}  // namespace net
