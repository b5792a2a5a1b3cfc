#pragma once
// A first-in first-out queue of bytes in one circular buffer, for the body and upload bytes
// that wait between libcurl and the reader. Bytes are copied in and out once each; nothing
// moves inside. Internal to the layer; not thread-safe (the session's lock guards it).
//
// The buffer is allocated on the first put and grows only when a put does not fit, to
// hold exactly what is queued then; a failed allocation throws std::bad_alloc and leaves
// the queue as it was.

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

namespace platform::inet::internal {

class ByteQueue {
 public:
  // `capacity`: the room the first put allocates.
  explicit ByteQueue(std::size_t capacity) : capacity_(capacity) {}

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void put(const void* data, std::size_t count);
  // Moves up to `count` bytes from the front into `out`; returns how many.
  std::size_t take(void* out, std::size_t count);
  // Hands every queued byte to `sink` where it lies (one or two spans) and empties the queue;
  // returns how many. Bytes stay queued until `sink` returns, so an exception leaves them.
  std::size_t takeAll(const std::function<void(std::string_view)>& sink);

 private:
  // Makes room for `count` more bytes.
  void reserve(std::size_t count);
  // Copies the first `count` bytes into `out`, leaving them queued.
  void copyOut(char* out, std::size_t count) const;

  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t allocated_ = 0;
  std::size_t front_ = 0;
  std::size_t size_ = 0;
};

}  // namespace platform::inet::internal
