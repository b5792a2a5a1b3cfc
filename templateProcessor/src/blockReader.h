#pragma once
// Reading the bodies of REPEAT and conditional blocks, which are expanded only after they
// have been read whole. Nested blocks of the same sort stay inside the body. Block names
// compare ignoring case; the end of the input also ends a block.

#include <istream>
#include <string>

namespace templateProcessor::internal {

// Reads up to and including the "{%/REPEAT%}" that matches the opening "{%REPEAT%...}"
// already read; returns the body without it.
std::wstring readRepeatBody(std::wistream& input);

struct ConditionalParts {
  std::wstring thenPart;
  std::wstring elsePart;
};

// Reads up to and including the "{%ENDIF%}" that matches the opening "{%?...}" or
// "{%!...}" already read; a "{%ELSE%}" at the same level splits the parts.
ConditionalParts readConditionalParts(std::wistream& input);

}  // namespace templateProcessor::internal
