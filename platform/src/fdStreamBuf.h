#pragma once

#include <streambuf>
#include <string>

// A wide stream buffer over a file descriptor that writes code points as UTF-8. Text is
// kept until a flush, which the message log makes at every line break.
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
