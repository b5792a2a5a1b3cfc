#pragma once
// Reading the bodies of REPEAT and conditional blocks, which are expanded only after they
// have been read whole. Nested blocks of the same sort stay inside the body. Block names
// compare ignoring case; the end of the input also ends a block.
//
// A body is collected once. A block read from a file or the caller's stream is copied
// into `storage`; a block whose input is a ViewStream (a body being expanded) becomes a
// view of that stream's text, which is only skipped. So blocks nested to any depth cost
// memory for one copy of the outermost one. The views returned stay valid while both
// `storage` and the text under the input live and do not change.

#include <istream>
#include <string>
#include <string_view>

namespace templateProcessor::internal {

// Reads up to and including the "{%/REPEAT%}" that matches the opening "{%REPEAT%...}"
// already read; returns the body without it. `storage` is replaced.
std::wstring_view readRepeatBody(std::wistream& input, std::wstring& storage);

struct ConditionalParts {
  std::wstring_view thenPart;
  std::wstring_view elsePart;
};

// Reads up to and including the "{%ENDIF%}" that matches the opening "{%?...}" or
// "{%!...}" already read; a "{%ELSE%}" at the same level splits the parts. `storage` is
// replaced.
ConditionalParts readConditionalParts(std::wistream& input, std::wstring& storage);

}  // namespace templateProcessor::internal
