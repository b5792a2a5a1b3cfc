#include "templateProcessor/src/paramArgs.h"

#include "templateProcessor/src/charStream.h"

namespace templateProcessor {
namespace {

using internal::CharInt;
using internal::isEnd;
using internal::nextChar;
using internal::peekChar;

bool isSpace(CharInt c) {
  return !isEnd(c) && platform::isSpaceC(static_cast<wchar_t>(c));
}

bool is(CharInt c, wchar_t expected) {
  return !isEnd(c) && static_cast<wchar_t>(c) == expected;
}

// Reads one token; an unquoted one stops before white space, '}' and, for a name, '='.
std::wstring readToken(std::wistream& input, bool isName) {
  std::wstring token;
  const bool quoted = is(peekChar(input), L'"');
  if (quoted) nextChar(input);
  for (CharInt c = peekChar(input); !isEnd(c); c = peekChar(input)) {
    if (quoted && is(c, L'"')) {
      nextChar(input);
      break;
    }
    if (!quoted && (isSpace(c) || is(c, L'}') || (isName && is(c, L'=')))) break;
    nextChar(input);
    if (is(c, L'\\')) {
      c = nextChar(input);
      if (isEnd(c)) break;
    }
    token += static_cast<wchar_t>(c);
  }
  return token;
}

}  // namespace

ParamArgs ParamArgs::parse(std::wistream& input) {
  ParamArgs args;
  if (is(peekChar(input), L'}')) {  // most directives have no arguments
    nextChar(input);
    return args;
  }
  for (;;) {
    while (isSpace(peekChar(input))) nextChar(input);
    const CharInt c = peekChar(input);
    if (isEnd(c)) break;
    if (is(c, L'}')) {
      nextChar(input);
      break;
    }
    std::wstring name(platform::trimSpaceC(readToken(input, true)));
    const bool assigns = is(peekChar(input), L'=');
    if (assigns) nextChar(input);
    if (name.empty()) continue;
    if (assigns) {
      args.setNamed(std::move(name), readToken(input, false));
    } else {
      args.addPositional(std::move(name));
    }
  }
  return args;
}

void ParamArgs::addPositional(std::wstring token) {
  names_.push_back(token);
  positional_.push_back(std::move(token));
}

void ParamArgs::setNamed(std::wstring name, std::wstring value) {
  names_.push_back(name);
  named_.insert_or_assign(std::move(name), std::move(value));
}

std::wstring ParamArgs::firstPositional() const {
  return positional_.empty() ? std::wstring() : positional_.front();
}

const std::wstring* ParamArgs::findNamed(std::wstring_view name) const {
  const auto found = named_.find(name);
  return found == named_.end() ? nullptr : &found->second;
}

std::wstring ParamArgs::namedOr(std::wstring_view name, std::wstring_view fallback) const {
  const std::wstring* value = findNamed(name);
  return value ? *value : std::wstring(fallback);
}

bool ParamArgs::hasPositional(std::wstring_view token) const {
  for (const std::wstring& p : positional_) {
    if (platform::equalsNoCase(p, token)) return true;
  }
  return false;
}

}  // namespace templateProcessor
