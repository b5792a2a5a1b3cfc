#include "tools/src/commandLine.h"

#include "tools/src/istring.h"

namespace tools {
namespace {

constexpr int kEmptyLine = 11117;
constexpr int kOpenQuote = 11118;
constexpr int kTrailingBackslash = 11119;

bool isBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n';
}

bool escapableInDoubleQuotes(wchar_t c) {
  return c == L'$' || c == L'`' || c == L'"' || c == L'\\' || c == L'\n';
}

// Reads one argument starting at a non-blank `pos`; returns 0 or the message id of the
// fault found. `quoted` tells that quotes were seen, which makes even an empty text an
// argument.
int readArgument(const std::wstring& line, std::size_t& pos, std::wstring& arg, bool& quoted) {
  while (pos < line.size() && !isBlank(line[pos])) {
    const wchar_t c = line[pos++];
    if (c == L'\'' || c == L'"') quoted = true;
    if (c == L'\'') {
      const std::size_t close = line.find(L'\'', pos);
      if (close == std::wstring::npos) return kOpenQuote;
      arg.append(line, pos, close - pos);
      pos = close + 1;
    } else if (c == L'"') {
      for (;;) {
        if (pos >= line.size()) return kOpenQuote;
        const wchar_t q = line[pos++];
        if (q == L'"') break;
        if (q == L'\\' && pos < line.size() && escapableInDoubleQuotes(line[pos])) {
          if (line[pos] != L'\n') arg += line[pos];
          ++pos;
        } else {
          arg += q;
        }
      }
    } else if (c == L'\\') {
      if (pos >= line.size()) return kTrailingBackslash;
      if (line[pos] != L'\n') arg += line[pos];
      ++pos;
    } else {
      arg += c;
    }
  }
  return 0;
}

}  // namespace

bool splitCommandLine(const std::wstring& line, std::vector<std::wstring>& args,
                      std::wstring& error) {
  args.clear();
  std::size_t pos = 0;
  for (;;) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    if (pos >= line.size()) break;
    std::wstring arg;
    bool quoted = false;
    if (const int fault = readArgument(line, pos, arg, quoted)) {
      args.clear();
      error = internal::istring(fault);
      return false;
    }
    if (quoted || !arg.empty()) args.push_back(std::move(arg));
  }
  if (args.empty()) {
    error = internal::istring(kEmptyLine);
    return false;
  }
  return true;
}

}  // namespace tools
