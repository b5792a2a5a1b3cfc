#pragma once
// A wide input stream over text that the caller keeps alive, read without copying it.
// Block bodies are expanded through it once per item, and blocks nested in a body take
// their own bodies as views of the same text (see blockReader.h).

#include <cstddef>
#include <istream>
#include <streambuf>
#include <string_view>

namespace templateProcessor::internal {

class ViewStreamBuf : public std::wstreambuf {
 public:
  explicit ViewStreamBuf(std::wstring_view text) { reset(text); }

  // Starts reading `text` from its beginning.
  void reset(std::wstring_view text) {
    // The get area is only ever read.
    wchar_t* begin = const_cast<wchar_t*>(text.data());
    setg(begin, begin, begin + text.size());
  }

  // The text not read yet; it lives as long as the text given at construction.
  std::wstring_view rest() const {
    return std::wstring_view(gptr(), static_cast<std::size_t>(egptr() - gptr()));
  }
  // Consumes `count` characters of rest(), at most all of them.
  void skip(std::size_t count) {
    const std::size_t skipped = count < rest().size() ? count : rest().size();
    setg(eback(), gptr() + skipped, egptr());
  }
};

class ViewStream : public std::wistream {
 public:
  explicit ViewStream(std::wstring_view text) : std::wistream(nullptr), buffer_(text) {
    rdbuf(&buffer_);
  }

  // Reads `text` instead, from its beginning and with a clear state: setting up a stream
  // costs more than expanding a short text, so a caller may keep one for many texts.
  void reset(std::wstring_view text) {
    buffer_.reset(text);
    clear();
  }

 private:
  ViewStreamBuf buffer_;
};

}  // namespace templateProcessor::internal
