#pragma once
// One literal run of a pattern, the text between its skips and captures, and the search for
// it in a page. A run of white space in the piece matches any run of white space in the
// page or none; an ASCII letter matches either case; every other character only itself.
// White space at the piece's ends matches nothing in particular (the captures around it are
// trimmed anyway).
//
// The search is a bit-parallel automaton over the piece's characters (Shift-And), so it
// looks at every page character once, whatever the piece holds: its cost is the length of
// the text it passes over times one machine word per 64 characters of the piece.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plugin {

class LiteralPiece {
 public:
  // `text` is the piece as the pattern writes it, found at `offset` in the pattern.
  LiteralPiece(std::wstring_view text, std::size_t offset);

  // Characters to match, white space not counted; 0 for a piece of white space only.
  std::size_t size() const { return chars_.size(); }
  // Where character `j` of the piece stands in the pattern.
  std::size_t sourceOffset(std::size_t j) const { return sources_[j]; }

  struct Found {
    std::size_t start;
    std::size_t end;
  };
  // The occurrence that starts earliest at or after `from`, or none. Adds the number of
  // characters looked at to `work`.
  std::optional<Found> find(std::wstring_view text, std::size_t from, std::uint64_t& work) const;

  struct Partial {
    std::size_t length;  // characters of the piece matched
    std::size_t stop;    // where the page differs from the piece's next character
  };
  // The longest start of the piece found at or after `from` (the earliest such place), for
  // a piece that find() did not find there.
  Partial longestPrefix(std::wstring_view text, std::size_t from, std::uint64_t& work) const;

  // Blank, or one of tab, line feed, vertical tab, form feed, carriage return (9-13).
  static bool isSpace(wchar_t c) { return c == L' ' || static_cast<std::uint32_t>(c) - 9 < 5; }
  static wchar_t fold(wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; }

 private:
  class State;
  const std::uint64_t* maskOf(wchar_t c) const {
    if (c >= 0 && c < 128) {
      const std::int32_t index = asciiMask_[c];  // letters are entered in both cases
      return index < 0 ? nullptr : &masks_[static_cast<std::size_t>(index) * words_];
    }
    return otherMaskOf(c);
  }
  const std::uint64_t* otherMaskOf(wchar_t c) const;
  // The first place at or after `i` holding a character that can start the piece.
  std::size_t nextStart(std::wstring_view text, std::size_t i) const;
  // Runs the automaton over `text` from `from`, jumping over text where nothing is under
  // way, and calls `visit(i, state)` after each character that is not white space until it
  // answers true: returns that i, or the size of `text`.
  template <typename Visit>
  std::size_t scan(std::wstring_view text, std::size_t from, Visit visit) const;

  std::vector<wchar_t> chars_;   // folded
  std::vector<bool> gapBefore_;  // white space in the piece before character j
  std::vector<std::size_t> sources_;
  std::size_t words_ = 0;
  std::vector<std::uint64_t> masks_;    // `words_` words per distinct character
  std::vector<std::uint64_t> gapMask_;  // characters that may follow white space
  std::int32_t asciiMask_[128];         // index into masks_ or -1
  std::unordered_map<wchar_t, std::size_t> otherMask_;
};

}  // namespace plugin
