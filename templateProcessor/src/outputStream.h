#pragma once
// OutputStream: the output of one run. It writes to the caller's wide stream and follows
// the processor's flags as they are at each write, since a template may switch them:
// - kUtf8Output: strings (values, messages) go out as their UTF-8 bytes, one byte per
//   character, for byte-oriented outputs; single template characters go out as they are.
// - kRemoveLinkWhitespace: everything passes through a LinkWhitespaceFilter.
// Held characters are written when the mode is switched off and when the object dies.
// A failed write marks the wrapped stream bad. The output may also be a string, which is
// appended to directly.

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

#include "templateProcessor/src/linkWhitespaceFilter.h"

namespace templateProcessor {

class TemplateProcessor;

class OutputStream {
 public:
  OutputStream(std::wostream& out, const TemplateProcessor& processor);
  OutputStream(std::wstring& out, const TemplateProcessor& processor);
  ~OutputStream();
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  void put(wchar_t c);
  // Writes `chars` as that many put() calls would, when each of them would go straight to
  // the wrapped stream; otherwise (the link filter is on or holds characters) writes
  // nothing and returns false.
  bool putDirect(std::wstring_view chars);
  void write(std::wstring_view text);
  // Writes whatever the link filter holds.
  void flush();

  // The characters handed to the wrapped stream so far.
  std::size_t written() const { return written_; }

 private:
  void emit(std::wstring_view chars);
  void writeRaw(std::wstring_view chars);

  const TemplateProcessor& processor_;
  // One of the two is set.
  std::wostream* stream_ = nullptr;
  std::wstring* text_ = nullptr;
  LinkWhitespaceFilter filter_;
  std::wstring released_;
  std::size_t written_ = 0;
};

}  // namespace templateProcessor
