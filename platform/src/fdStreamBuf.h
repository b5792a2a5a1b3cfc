#pragma once
// A wide stream buffer over a file descriptor that writes code points as UTF-8. Text is
// kept until a flush, which the message log makes at every line break. A failed write
// drops the pending text and reports the failure through sync(); later writes try again.

#include <streambuf>
#include <string>

namespace platform {

class FdWideStreamBuf : public std::wstreambuf {
 public:
  explicit FdWideStreamBuf(int fd) : fd_(fd) {}
  ~FdWideStreamBuf() override { sync(); }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  int fd_;
  std::string pending_;
};

// The buffer over the standard error stream; it lives until the process ends, so that
// statics may still log while they are destroyed. Any thread may write through it when
// the caller serialises the writes (the message log holds its lock).
std::wstreambuf& standardErrorBuffer();

}  // namespace platform
