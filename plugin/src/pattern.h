#pragma once
// A pattern: a piece of a page's source with its varying parts replaced. `{*}` skips any
// text, `{%title}`, `{%link}`, `{%description}` (or `{%}`), `{%date}`, `{%author}` and
// `{%image}` capture it; everything else is literal text (see literalPiece.h for how it
// matches). Capture names take either letter case.
//
//     <li><a href="{%link}">{%title}</a>{*}<p>{%}</p></li>
//
// The pattern is held as segments: the skips and captures before a literal piece, then
// the piece. Skips and captures with no literal text between them share one stretch of the
// page: the first capture among them takes it, the others stay empty. Those after the last
// piece capture nothing.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "plugin/src/literalPiece.h"

namespace plugin {

enum class Field { Title, Link, Description, Date, Author, Image };
inline constexpr std::size_t kFieldCount = 6;

// The name a capture of `field` has in a pattern, in full: "title" for {%title}.
std::wstring captureName(Field field);

class Pattern {
 public:
  // Parses `text`; throws PluginError naming the pattern by `name` ("Item pattern 2") for a
  // capture of no known name, or a text of more than 1,024 characters.
  Pattern(std::wstring text, std::wstring name);

  struct Segment {
    std::optional<Field> capture;  // what the stretch before the piece is, if captured
    bool afterHole;                // skips or captures come before the piece
    std::size_t holeOffset;        // where they start (else where the piece starts)
    LiteralPiece piece;
  };

  const std::wstring& text() const { return text_; }
  const std::wstring& name() const { return name_; }
  const std::vector<Segment>& segments() const { return segments_; }
  // How many captures of `field` the pattern holds.
  std::size_t captures(Field field) const { return counts_[static_cast<std::size_t>(field)]; }
  std::size_t captureCount() const;

 private:
  void addPiece(std::size_t begin, std::size_t end);

  std::wstring text_;
  std::wstring name_;
  std::vector<Segment> segments_;
  std::array<std::size_t, kFieldCount> counts_{};
  // Skips and captures waiting for the next piece.
  std::optional<Field> pendingCapture_;
  std::optional<std::size_t> pendingHole_;
};

}  // namespace plugin
