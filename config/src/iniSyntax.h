#pragma once
// The line rules of the INI format, on the file's bytes. The reader applies them, and the
// writer asks them whether a name it is about to write would read back as the same name.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/src/cLocale.h"

namespace config::internal {

// How deep sections nest in a file. Every header repeats the full path above it, so deeper
// nesting would make a file grow with the square of its depth.
inline constexpr std::size_t kMaxSectionDepth = 100;

// The UTF-8 byte-order mark; the reader drops it at the very start of a file.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Cuts the next line off `text`: a line ends at LF, at CR LF or at a lone CR, and its line
// end is dropped. None once `text` is used up (a final line without a line end counts).
std::optional<std::string_view> takeLine(std::string_view& text);
// As takeLine, for text that more bytes may follow unless `final`: a line is cut off only
// once its end is certain (a CR at the very end may still be followed by its LF).
std::optional<std::string_view> takeCompleteLine(std::string_view& text, bool final);

// takeCompleteLine a byte at a time, for the differential fuzz target alone.
namespace plain {
std::optional<std::string_view> takeCompleteLine(std::string_view& text, bool final);
}  // namespace plain

// Space, tab, CR, LF, VT and FF.
inline bool isBlank(char c) {
  return platform::isAsciiSpace(static_cast<unsigned char>(c));
}

// `line` without its leading blanks. Inline: every line of a file starts here.
inline std::string_view skipBlanks(std::string_view line) {
  std::size_t first = 0;
  while (first < line.size() && isBlank(line[first])) ++first;
  return line.substr(first);
}

// Whether `rest` (a line after its blanks) starts with a comment style enabled in `flags`.
bool isComment(std::string_view rest, std::uint32_t flags);

// The text between the brackets of a header line: `rest` starts with '[', ends (blanks
// aside) with ']' and has at least one byte between them. None for any other line.
std::optional<std::string_view> headerText(std::string_view rest);

struct KeyLine {
  std::wstring key;           // trimmed
  std::string_view rawValue;  // still percent-encoded
};

// A key line outside a block: not blank, not a comment, not a header attempt, holding a
// '=' after a non-blank key. None for any other line.
std::optional<KeyLine> parseKeyLine(std::string_view line, std::uint32_t flags);

// A key line's raw value as the tree holds it: percent-decoded, then UTF-8 decoded with
// escapes. A value without '%' is decoded as it stands.
std::wstring decodeValue(std::string_view rawValue);

// Whether the line `key` "=" reads back as `key` (a key line is never split at the '=' of a
// value, so the value does not matter). A mark that would open the file is the writer's
// to protect (see writesMarkFirst).
bool keyReadsBack(const std::wstring& key, std::uint32_t flags);

// keyReadsBack for a key whose UTF-8 form (with escapes) the writer holds already: an ASCII
// key is checked on those bytes alone, without reading the line back.
bool keyBytesReadBack(const std::wstring& key, std::string_view keyBytes, std::uint32_t flags);

// Whether a file whose first line is the key line of `key` must start with a byte-order
// mark: the reader drops one mark there, so a key that starts with one keeps it only then.
bool writesMarkFirst(const std::wstring& key);

// Whether `line` of block text (without its line end) reads back as the same line: a line
// that starts like a header, or holds a carriage return, does not.
bool blockLineReadsBack(std::string_view line);

// Whether a section of this name, written in a header, reads back under the same name.
bool sectionNameReadsBack(const std::wstring& name);

}  // namespace config::internal
