#include "platform/src/fdStreamBuf.h"

#include <unistd.h>

#include <cerrno>

#include "platform/src/utf8.h"

namespace platform {

FdWideStreamBuf::int_type FdWideStreamBuf::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  appendUtf8(static_cast<char32_t>(c), pending_);
  if (pending_.size() >= 4096 && sync() != 0) return traits_type::eof();
  return c;
}

int FdWideStreamBuf::sync() {
  std::size_t done = 0;
  while (done < pending_.size()) {
    const ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      pending_.clear();
      return -1;
    }
    done += static_cast<std::size_t>(n);
  }
  pending_.clear();
  return 0;
}

std::wstreambuf& standardErrorBuffer() {
  static auto* buffer = new FdWideStreamBuf(STDERR_FILENO);  // never freed: see the header
  return *buffer;
}

}  // namespace platform
