#include "templateProcessor/src/blockReader.h"

#include <string_view>

#include "platform/src/cLocale.h"
#include "templateProcessor/src/charStream.h"

namespace templateProcessor::internal {
namespace {

constexpr std::wstring_view kRepeatOpen = L"{%REPEAT%";
constexpr std::wstring_view kRepeatClose = L"{%/REPEAT%}";
constexpr std::wstring_view kIfOpen = L"{%?";
constexpr std::wstring_view kIfNotOpen = L"{%!";
constexpr std::wstring_view kElse = L"{%ELSE%}";
constexpr std::wstring_view kEndif = L"{%ENDIF%}";

// Appends the next character to `part`; false at the end of the input.
bool readInto(std::wistream& input, std::wstring& part) {
  const CharInt c = nextChar(input);
  if (isEnd(c)) return false;
  part += static_cast<wchar_t>(c);
  return true;
}

// Every marker ends in a character without case, so most characters are settled by one
// comparison.
bool endsWith(const std::wstring& part, std::wstring_view suffix) {
  return part.size() >= suffix.size() && part.back() == suffix.back() &&
         platform::equalsNoCase(std::wstring_view(part).substr(part.size() - suffix.size()),
                                suffix);
}

void dropSuffix(std::wstring& part, std::wstring_view suffix) {
  part.resize(part.size() - suffix.size());
}

}  // namespace

std::wstring readRepeatBody(std::wistream& input) {
  std::wstring body;
  int depth = 0;
  while (readInto(input, body)) {
    if (endsWith(body, kRepeatOpen)) {
      ++depth;
    } else if (endsWith(body, kRepeatClose)) {
      if (depth == 0) {
        dropSuffix(body, kRepeatClose);
        break;
      }
      --depth;
    }
  }
  return body;
}

ConditionalParts readConditionalParts(std::wistream& input) {
  ConditionalParts parts;
  std::wstring* part = &parts.thenPart;
  int depth = 0;
  while (readInto(input, *part)) {
    if (endsWith(*part, kIfOpen) || endsWith(*part, kIfNotOpen)) {
      ++depth;
    } else if (endsWith(*part, kEndif)) {
      if (depth == 0) {
        dropSuffix(*part, kEndif);
        break;
      }
      --depth;
    } else if (depth == 0 && part == &parts.thenPart && endsWith(*part, kElse)) {
      dropSuffix(*part, kElse);
      part = &parts.elsePart;
    }
  }
  return parts;
}

}  // namespace templateProcessor::internal
