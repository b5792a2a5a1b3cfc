#pragma once

#include <string>
#include <string_view>

namespace misc {

// Copies every byte unchanged except bytes below 0x20, '%' and the bytes of `extra`, which
// become '%' and two upper-case hex digits. Bytes of 0x80 and above are copied unchanged.
// The template language's URL encoding and the INI writer share it.
std::string urlEncode(std::string_view bytes, std::string_view extra = {});
// The same, appended to `out`; runs of bytes that stay as they are are copied whole.
void appendUrlEncoded(std::string_view bytes, std::string_view extra, std::string& out);

namespace plain {
// urlEncode one byte at a time: the reference the fast path is fuzzed against.
std::string urlEncode(std::string_view bytes, std::string_view extra);
}  // namespace plain

// Replaces each '%' followed by two hex digits by the byte they give; anything else,
// including a '%' without two hex digits after it, is copied unchanged. The INI reader and
// the plug-in's file: URLs share it.
std::string urlDecode(std::string_view text);

}  // namespace misc
