// The pattern search against a plain reference: the first line of the input is a pattern,
// the rest the page. Each literal piece, searched in the page's UTF-8 bytes, must be found
// exactly where trying every start character by character finds it; items must come left
// to right inside the page, every place must start a character, and the work must stay
// within a few passes over the page.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/src/utf8.h"
#include "plugin/src/itemFinder.h"
#include "plugin/src/literalPiece.h"
#include "plugin/src/matchDiagnostic.h"
#include "plugin/src/pluginError.h"

namespace {

using plugin::LiteralPiece;

// Whether `piece` matches at `start`, by trying it character by character; the end of the
// match when it does.
std::optional<std::size_t> matchAt(std::wstring_view piece, std::wstring_view text,
                                   std::size_t start) {
  std::size_t i = start;
  bool first = true;
  for (std::size_t j = 0; j < piece.size();) {
    if (LiteralPiece::isSpace(piece[j])) {
      while (j < piece.size() && LiteralPiece::isSpace(piece[j])) ++j;
      // White space at the piece's ends matches nothing in particular.
      if (!first && j < piece.size()) {
        while (i < text.size() && LiteralPiece::isSpace(text[i])) ++i;
      }
      continue;
    }
    if (i >= text.size() || LiteralPiece::fold(text[i]) != LiteralPiece::fold(piece[j])) {
      return std::nullopt;
    }
    first = false;
    ++i;
    ++j;
  }
  return i;
}

// Where each character of `text` starts in its UTF-8 form, and where the last one ends.
std::vector<std::size_t> characterStarts(std::wstring_view text) {
  std::vector<std::size_t> starts{0};
  std::string character;
  for (const wchar_t c : text) {
    character.clear();
    platform::appendUtf8(static_cast<char32_t>(c), character);
    starts.push_back(starts.back() + character.size());
  }
  return starts;
}

void checkPiece(std::wstring_view piece, std::wstring_view text, std::string_view utf8) {
  const LiteralPiece compiled(piece, 0);
  if (compiled.size() == 0) return;
  std::uint64_t work = 0;
  const auto found = compiled.find(utf8, 0, work);
  std::optional<std::pair<std::size_t, std::size_t>> expected;
  for (std::size_t s = 0; s < text.size() && !expected; ++s) {
    if (LiteralPiece::isSpace(text[s])) continue;
    if (const auto end = matchAt(piece, text, s)) expected.emplace(s, *end);
  }
  if (found.has_value() != expected.has_value()) std::abort();
  const std::vector<std::size_t> starts = characterStarts(text);
  if (found &&
      (found->start != starts[expected->first] || found->end != starts[expected->second])) {
    std::abort();
  }
  if (work > utf8.size()) std::abort();
}

bool startsCharacter(std::string_view utf8, std::size_t at) {
  return at >= utf8.size() || !platform::continuesUtf8Sequence(utf8[at]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring input =
      platform::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::size_t lineEnd = input.find(L'\n');
  if (lineEnd == std::wstring::npos) return 0;
  const std::wstring patternText = input.substr(0, lineEnd);
  const std::wstring_view page = std::wstring_view(input).substr(lineEnd + 1);

  const std::string utf8 = platform::toUtf8(page);
  checkPiece(patternText, page, utf8);
  try {
    const plugin::Pattern pattern(patternText, L"Item pattern 1");
    if (pattern.segments().empty()) return 0;
    plugin::ItemFinder finder({&pattern}, utf8, 8 * (utf8.size() + 1) + 4096);
    std::size_t previousEnd = 0;
    for (const plugin::Match& match : finder.find(1000)) {
      if (match.start < previousEnd || match.end <= match.start || match.end > utf8.size() ||
          !startsCharacter(utf8, match.start) || !startsCharacter(utf8, match.end)) {
        std::abort();
      }
      for (const auto& range : match.captures) {
        if (range && (range->first < match.start || range->second > match.end ||
                      range->first > range->second || !startsCharacter(utf8, range->first) ||
                      !startsCharacter(utf8, range->second))) {
          std::abort();
        }
      }
      previousEnd = match.end;
    }
    finder.mismatches();
  } catch (const plugin::PluginError&) {
  }
  return 0;
}
