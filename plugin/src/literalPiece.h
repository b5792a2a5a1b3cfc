#pragma once
// One literal run of a pattern, the text between its skips and captures, and the search for
// it in a page. A run of white space in the piece matches any run of white space in the
// page or none; an ASCII letter matches either case; every other character only itself.
// White space at the piece's ends matches nothing in particular (the captures around it are
// trimmed anyway).
//
// The page is searched as UTF-8 and the piece is matched as its UTF-8 bytes. That is the
// same as matching characters: in valid UTF-8 no sequence begins inside another, and the
// white space and the letters whose case does not matter are all one byte long.
//
// The search is a bit-parallel automaton over the piece's characters (Shift-And), so it
// looks at every byte of the page once, whatever the piece holds: its cost is the length of
// the text it passes over times one machine word per 64 bytes of the piece.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace plugin {

class LiteralPiece {
 public:
  // `text` is the piece as the pattern writes it, found at `offset` in the pattern.
  LiteralPiece(std::wstring_view text, std::size_t offset);

  // Bytes to match, white space not counted; 0 for a piece of white space only.
  std::size_t size() const { return bytes_.size(); }
  // Where the character of byte `j` of the piece stands in the pattern.
  std::size_t sourceOffset(std::size_t j) const { return sources_[j]; }

  struct Found {
    std::size_t start;
    std::size_t end;
  };
  // The occurrence that starts earliest at or after `from` in the UTF-8 `text`, or none;
  // byte offsets. Adds the number of bytes looked at to `work`.
  std::optional<Found> find(std::string_view text, std::size_t from, std::uint64_t& work) const;

  struct Partial {
    std::size_t length;  // bytes of the piece matched, whole characters
    std::size_t stop;    // where the page differs from the piece's next character
  };
  // The longest start of the piece found at or after `from` (the earliest such place), for
  // a piece that find() did not find there.
  Partial longestPrefix(std::string_view text, std::size_t from, std::uint64_t& work) const;

  // Blank, or one of tab, line feed, vertical tab, form feed, carriage return (9-13).
  // For a character of a pattern and for a byte of a page alike.
  template <typename Char>
  static bool isSpace(Char c) {
    return c == Char(' ') || static_cast<std::make_unsigned_t<Char>>(c) - 9u < 5u;
  }
  static wchar_t fold(wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; }

 private:
  class State;
  const std::uint64_t* maskOf(char c) const {
    const std::int32_t index = byteMask_[static_cast<unsigned char>(c)];
    return index < 0 ? nullptr : &masks_[static_cast<std::size_t>(index) * words_];
  }
  // The first place at or after `i` holding a byte that can start the piece.
  std::size_t nextStart(std::string_view text, std::size_t i) const;
  // Runs the automaton over `text` from `from`, jumping over text where nothing is under
  // way, and calls `visit(i, state)` after each byte that is not white space until it
  // answers true: returns that i, or the size of `text`.
  template <typename Visit>
  std::size_t scan(std::string_view text, std::size_t from, Visit visit) const;

  std::string bytes_;            // UTF-8, ASCII letters in lower case
  std::vector<bool> gapBefore_;  // white space in the piece before byte j
  std::vector<std::size_t> sources_;
  std::size_t words_ = 0;
  std::vector<std::uint64_t> masks_;    // `words_` words per distinct byte
  std::vector<std::uint64_t> gapMask_;  // bytes that may follow white space
  std::int32_t byteMask_[256];          // index into masks_ or -1; letters in both cases
};

}  // namespace plugin
