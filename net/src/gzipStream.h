#pragma once
// Inflates one gzip member as its bytes arrive, appending what it inflates to a body, so
// that neither the compressed bytes nor more than the limit ever need to be held. The
// header is parsed as it comes (optional extra field, file name, comment and header CRC are
// skipped, the CRC unchecked); zlib inflates the raw deflate stream after it. The trailer
// is neither required nor checked and whatever follows the deflate stream is ignored.
//
//     GzipStream gzip(body, BodyLimit());
//     gzip.write(block);   // for each block as it arrives
//     gzip.finish();       // after the last
//
// Throws misc::wruntime_error, from the call that finds it:
// - "Missing magic ID in the compressed HTTP response header." unless it starts 1F 8B, and
//   "Invalid CM in the compressed HTTP response header." unless the method is 8, once ten
//   bytes are in;
// - "Gzip decompression failure: rc=<zlib code>" for corrupt data (-3), and from finish for
//   a deflate stream that is cut short (-5);
// - from finish, "Invalid compressed HTTP response header." when the body ended before a
//   byte of deflate data (fewer than 10 bytes, or an optional field running past the end);
// - "Can't initialize gzip decompression: rc=<zlib code>" from the constructor;
// - the limit's message once the body would grow past it (it then holds at most the limit
//   and one output step more).
// After a failure the object takes nothing more. The body is not owned and must outlive
// the object; one thread uses it at a time.

#include <zlib.h>

#include <cstddef>
#include <string_view>

#include "net/src/bodyLimit.h"
#include "net/src/byteVector.h"

namespace net {

class GzipStream {
 public:
  // The room each inflate call is given: a body may end up to this much past the limit.
  // Large, so that zlib copies a small part of its output into its window.
  static constexpr std::size_t kOutputStep = 128 * 1024;

  GzipStream(ByteVector& body, BodyLimit limit);
  ~GzipStream();
  GzipStream(const GzipStream&) = delete;
  GzipStream& operator=(const GzipStream&) = delete;

  void write(std::string_view bytes);
  void finish();

 private:
  enum class Stage { Fixed, ExtraLength, Extra, Name, Comment, HeaderCrc, Deflate, End, Failed };

  // Consumes the header bytes at the front of `bytes`.
  void parseHeader(std::string_view& bytes);
  // Takes what the current header field needs of `bytes`; returns how many.
  std::size_t takeHeaderBytes(std::string_view bytes);
  void endFixedHeader();
  // Moves on to the next field that the flags announce, or to the deflate data.
  void enterFieldAfter(Stage done);
  void inflateSome(std::string_view bytes);
  [[noreturn]] void fail(int id);
  [[noreturn]] void failWithCode(int id, int code);

  ByteVector& body_;
  const BodyLimit limit_;
  z_stream stream_{};
  Stage stage_ = Stage::Fixed;
  unsigned char fixed_[10] = {};
  std::size_t have_ = 0;  // bytes of the fixed header or the extra length so far
  std::size_t skip_ = 0;  // bytes of the extra field or the header CRC still to skip
  std::size_t offset_ = 0;
  bool inflated_ = false;  // a byte of deflate data was given
};

}  // namespace net
