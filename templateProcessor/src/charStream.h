#pragma once
// Character access to the wide streams of a run. The processor reads one character at a
// time, straight from the stream buffer, so a template is never held whole in memory.

#include <istream>

namespace templateProcessor::internal {

using CharTraits = std::wistream::traits_type;
using CharInt = CharTraits::int_type;

inline bool isEnd(CharInt c) {
  return CharTraits::eq_int_type(c, CharTraits::eof());
}

// The next character, consumed; eof at the end.
inline CharInt nextChar(std::wistream& in) {
  std::wstreambuf* buffer = in.rdbuf();
  return buffer ? buffer->sbumpc() : CharTraits::eof();
}

// The next character, left in the input; eof at the end.
inline CharInt peekChar(std::wistream& in) {
  std::wstreambuf* buffer = in.rdbuf();
  return buffer ? buffer->sgetc() : CharTraits::eof();
}

}  // namespace templateProcessor::internal
