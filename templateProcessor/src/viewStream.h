#pragma once
// A wide input stream over text that the caller keeps alive, read without copying it.
// Block bodies are expanded through it once per item.

#include <istream>
#include <streambuf>
#include <string_view>

namespace templateProcessor::internal {

class ViewStreamBuf : public std::wstreambuf {
 public:
  explicit ViewStreamBuf(std::wstring_view text) {
    // The get area is only ever read.
    wchar_t* begin = const_cast<wchar_t*>(text.data());
    setg(begin, begin, begin + text.size());
  }
};

class ViewStream : public std::wistream {
 public:
  explicit ViewStream(std::wstring_view text) : std::wistream(nullptr), buffer_(text) {
    rdbuf(&buffer_);
  }

 private:
  ViewStreamBuf buffer_;
};

}  // namespace templateProcessor::internal
