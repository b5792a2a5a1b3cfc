#pragma once
// The most bytes one page may hold, as the network settings give it when the object is
// made: a downloaded body (after gunzip) and a local page alike. Past it a transfer stops
// with "The page is larger than <limit>." (11561, the limit in the words of sizeText).
//
//     const BodyLimit limit;                      // networkSettings().maxBodyBytes
//     limit.check(body.size() + block.size());    // throws past the limit
//
// A value; any thread may use its own.

#include <cstddef>
#include <cstdint>
#include <string>

#include "net/src/byteVector.h"

namespace net {

class BodyLimit {
 public:
  BodyLimit();
  // `most` bytes; 0: no limit.
  explicit BodyLimit(std::uint64_t most) : most_(most == 0 ? UINT64_MAX : most) {}

  std::uint64_t most() const { return most_; }
  // Throws misc::wruntime_error with text() when `size` is past the limit.
  void check(std::uint64_t size) const {
    if (size > most_) fail();
  }
  [[noreturn]] void fail() const;
  // Makes room in `body` for `extra` more bytes, doubling as a vector grows but never past
  // the limit and `extra`: a body that fails at the limit never held twice as much.
  void makeRoom(ByteVector& body, std::size_t extra) const;
  std::wstring text() const;

 private:
  std::uint64_t most_;
};

}  // namespace net
