#pragma once
// SGML character references: a fixed table of 87 named entities, an encoder that replaces
// selected characters by references and a decoder for one reference. The table differs
// from HTML in four rows: "nbsp" is an ordinary space (32), "tilde" and "circ" are the
// ASCII characters '~' and '^', and "apos" is 39. All functions are thread-safe.
//
//     sgmlEncode(L"a<b & c", L"&<")   // L"a&lt;b &amp; c"

#include <optional>
#include <string>
#include <string_view>

namespace tools {

// Replaces each character of `text` that occurs in `chars` by "&name;" when the table has a
// name for it, else by "&#<decimal code>;". Without `chars` every character is encoded.
std::wstring sgmlEncode(std::wstring_view text,
                        std::optional<std::wstring_view> chars = std::nullopt);

// Decodes the reference that starts at `text[cursor]`, just after an '&': "#65", "#x41"
// or a table name, each optionally followed by ';' (consumed). On success stores the code
// point in `code`, leaves `cursor` after the reference and returns true. A numeric
// reference keeps its whole code point; values above U+10FFFF and surrogates are
// rejected. The digits 0-9 and A-F count in either base ("#1A" is 1 * 10 + 10).
// On failure `cursor` stays after the '#', the optional 'x' and any digits, or after the
// unknown name.
bool sgmlDecodeReference(std::wstring_view text, std::size_t& cursor, wchar_t& code);

// The table: the code of a name (case-sensitive) and the name of a code.
std::optional<wchar_t> sgmlEntityCode(std::wstring_view name);
std::optional<std::wstring> sgmlEntityName(wchar_t code);
// Number of distinct codes in the table.
std::size_t sgmlEntityCount();

}  // namespace tools
