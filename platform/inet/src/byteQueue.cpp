#include "platform/inet/src/byteQueue.h"

#include <algorithm>
#include <cstring>

namespace platform::inet::internal {

void ByteQueue::reserve(std::size_t count) {
  if (allocated_ - size_ >= count) return;
  const std::size_t wanted = std::max(capacity_, size_ + count);
  auto larger = std::make_unique_for_overwrite<char[]>(wanted);
  copyOut(larger.get(), size_);
  buffer_ = std::move(larger);
  allocated_ = wanted;
  front_ = 0;
}

void ByteQueue::copyOut(char* out, std::size_t count) const {
  if (count == 0) return;
  const std::size_t first = std::min(count, allocated_ - front_);
  std::memcpy(out, buffer_.get() + front_, first);
  std::memcpy(out + first, buffer_.get(), count - first);
}

void ByteQueue::put(const void* data, std::size_t count) {
  if (count == 0) return;
  reserve(count);
  const std::size_t end = (front_ + size_) % allocated_;
  const std::size_t first = std::min(count, allocated_ - end);
  const char* bytes = static_cast<const char*>(data);
  std::memcpy(buffer_.get() + end, bytes, first);
  std::memcpy(buffer_.get(), bytes + first, count - first);
  size_ += count;
}

std::size_t ByteQueue::take(void* out, std::size_t count) {
  const std::size_t taken = std::min(count, size_);
  copyOut(static_cast<char*>(out), taken);
  size_ -= taken;
  front_ = size_ == 0 ? 0 : (front_ + taken) % allocated_;
  return taken;
}

std::size_t ByteQueue::takeAll(const std::function<void(std::string_view)>& sink) {
  const std::size_t taken = size_;
  if (taken == 0) return 0;
  const std::size_t first = std::min(taken, allocated_ - front_);
  sink({buffer_.get() + front_, first});
  front_ = (front_ + first) % allocated_;
  size_ -= first;
  if (size_ > 0) sink({buffer_.get(), size_});
  size_ = 0;
  front_ = 0;
  return taken;
}

}  // namespace platform::inet::internal
