#include "net/src/gzipStream.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "lib/log/src/log.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/istring.h"
#include "net/src/msgGroups.h"

namespace net {
namespace {

constexpr std::size_t kFixedHeaderSize = 10;
constexpr unsigned char kFlagHeaderCrc = 2, kFlagExtra = 4, kFlagName = 8, kFlagComment = 16;

}  // namespace

GzipStream::GzipStream(ByteVector& body, BodyLimit limit) : body_(body), limit_(limit) {
  const int rc = inflateInit2(&stream_, -MAX_WBITS);  // raw deflate: no zlib header
  if (rc != Z_OK) {
    throw misc::wruntime_error(internal::istring(11513).format(std::to_wstring(rc)));
  }
}

GzipStream::~GzipStream() {
  inflateEnd(&stream_);
}

void GzipStream::fail(int id) {
  stage_ = Stage::Failed;
  throw misc::wruntime_error(internal::istring(id));
}

void GzipStream::failWithCode(int id, int code) {
  stage_ = Stage::Failed;
  throw misc::wruntime_error(internal::istring(id).format(std::to_wstring(code)));
}

void GzipStream::write(std::string_view bytes) {
  parseHeader(bytes);
  if (stage_ == Stage::Deflate && !bytes.empty()) inflateSome(bytes);
}

void GzipStream::finish() {
  if (stage_ == Stage::End || stage_ == Stage::Failed) return;
  if (!inflated_) fail(11510);
  failWithCode(11514, Z_BUF_ERROR);  // the deflate stream was cut short
}

void GzipStream::parseHeader(std::string_view& bytes) {
  while (!bytes.empty() && stage_ < Stage::Deflate) {
    const std::size_t used = takeHeaderBytes(bytes);
    bytes.remove_prefix(used);
    offset_ += used;
    if (stage_ == Stage::Deflate) {
      PG_LOG(internal::httpActivityGroup()) << L"Starting decompression at offset " << offset_;
    }
  }
}

std::size_t GzipStream::takeHeaderBytes(std::string_view bytes) {
  switch (stage_) {
    case Stage::Fixed: {
      const std::size_t used = std::min(kFixedHeaderSize - have_, bytes.size());
      std::memcpy(fixed_ + have_, bytes.data(), used);
      have_ += used;
      if (have_ == kFixedHeaderSize) endFixedHeader();
      return used;
    }
    case Stage::ExtraLength:
      skip_ |= std::size_t{static_cast<unsigned char>(bytes[0])} << (8 * have_);
      if (++have_ == 2) {
        stage_ = Stage::Extra;
        if (skip_ == 0) enterFieldAfter(Stage::Extra);
      }
      return 1;
    case Stage::Extra:
    case Stage::HeaderCrc: {
      const std::size_t used = std::min(skip_, bytes.size());
      skip_ -= used;
      if (skip_ == 0) enterFieldAfter(stage_);
      return used;
    }
    default: {  // a name or a comment, up to its NUL
      const std::size_t end = bytes.find('\0');
      if (end == std::string_view::npos) return bytes.size();
      enterFieldAfter(stage_);
      return end + 1;
    }
  }
}

void GzipStream::endFixedHeader() {
  if (fixed_[0] != 0x1F || fixed_[1] != 0x8B) fail(11511);
  if (fixed_[2] != Z_DEFLATED) fail(11512);
  enterFieldAfter(Stage::Fixed);
}

void GzipStream::enterFieldAfter(Stage done) {
  constexpr std::pair<Stage, unsigned char> kFields[] = {{Stage::ExtraLength, kFlagExtra},
                                                         {Stage::Name, kFlagName},
                                                         {Stage::Comment, kFlagComment},
                                                         {Stage::HeaderCrc, kFlagHeaderCrc}};
  stage_ = Stage::Deflate;
  for (const auto& [stage, flag] : kFields) {
    if (stage > done && (fixed_[3] & flag) != 0) {
      stage_ = stage;
      break;
    }
  }
  have_ = 0;
  skip_ = stage_ == Stage::HeaderCrc ? 2 : 0;
}

void GzipStream::inflateSome(std::string_view bytes) {
  inflated_ = true;
  while (!bytes.empty()) {
    // zlib counts input in 32 bits: a longer block goes in slices.
    const std::size_t slice = std::min<std::size_t>(bytes.size(), UINT_MAX);
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream_.avail_in = static_cast<uInt>(slice);
    do {
      const std::size_t used = body_.size();
      limit_.makeRoom(body_, kOutputStep);
      body_.resize(used + kOutputStep);
      stream_.next_out = reinterpret_cast<Bytef*>(body_.data() + used);
      stream_.avail_out = static_cast<uInt>(kOutputStep);
      const int rc = inflate(&stream_, Z_NO_FLUSH);
      body_.resize(used + kOutputStep - stream_.avail_out);
      if (body_.size() > limit_.most()) {
        stage_ = Stage::Failed;
        limit_.fail();
      }
      if (rc == Z_STREAM_END) {
        stage_ = Stage::End;
        return;
      }
      // Z_BUF_ERROR: all input taken, more is needed.
      if (rc != Z_OK && rc != Z_BUF_ERROR) failWithCode(11514, rc);
    } while (stream_.avail_in > 0 || stream_.avail_out == 0);
    bytes.remove_prefix(slice);
  }
}

}  // namespace net
