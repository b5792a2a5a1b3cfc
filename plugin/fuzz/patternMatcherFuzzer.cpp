// The pattern search against a plain reference: the first line of the input is a pattern,
// the rest the page. Each literal piece must be found exactly where trying every start
// finds it, items must come left to right inside the page, and the work must stay within a
// few passes over the page.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

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

void checkPiece(std::wstring_view piece, std::wstring_view text) {
  const LiteralPiece compiled(piece, 0);
  if (compiled.size() == 0) return;
  std::uint64_t work = 0;
  const auto found = compiled.find(text, 0, work);
  std::optional<std::pair<std::size_t, std::size_t>> expected;
  for (std::size_t s = 0; s < text.size() && !expected; ++s) {
    if (LiteralPiece::isSpace(text[s])) continue;
    if (const auto end = matchAt(piece, text, s)) expected.emplace(s, *end);
  }
  if (found.has_value() != expected.has_value()) std::abort();
  if (found && (found->start != expected->first || found->end != expected->second)) {
    std::abort();
  }
  if (work > text.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring input =
      platform::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::size_t lineEnd = input.find(L'\n');
  if (lineEnd == std::wstring::npos) return 0;
  const std::wstring patternText = input.substr(0, lineEnd);
  const std::wstring_view page = std::wstring_view(input).substr(lineEnd + 1);

  checkPiece(patternText, page);
  try {
    const plugin::Pattern pattern(patternText, L"Item pattern 1");
    if (pattern.segments().empty()) return 0;
    plugin::ItemFinder finder({&pattern}, page, 8 * (page.size() + 1) + 4096);
    std::size_t previousEnd = 0;
    for (const plugin::Match& match : finder.find(1000)) {
      if (match.start < previousEnd || match.end <= match.start || match.end > page.size()) {
        std::abort();
      }
      for (const auto& range : match.captures) {
        if (range && (range->first < match.start || range->second > match.end ||
                      range->first > range->second)) {
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
