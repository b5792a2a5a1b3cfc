#pragma once
// The text of a page from its bytes. The character set comes from a byte-order mark, else
// from the charset of the Content-Type the page came with, else from `<meta charset>` or
// `<meta http-equiv="Content-Type" content="...; charset=...">` in the first 1024 bytes,
// else the page is read as UTF-8 with every byte that is not part of a valid sequence read
// as Windows-1252 (so a Latin-1 page without a declaration still reads right). As in
// browsers, ISO-8859-1 and ASCII labels mean Windows-1252, and a UTF-16 that the page
// declares itself (which it cannot really be) means UTF-8. A charset unknown here counts
// as none.
//
// The text is UTF-8, so that a page is held in about its own size: a page that is valid
// UTF-8 already is its own text, and any other is decoded while its bytes are there, never
// through a wide copy of the whole.

#include <optional>
#include <string>
#include <string_view>

namespace plugin {

struct PageText {
  std::string text;  // valid UTF-8
  // The declared character set, when the system knows no such set (read as UTF-8 then).
  std::optional<std::wstring> unknownCharset;
};

// `contentType`: "text/html; charset=koi8-r", or empty.
PageText decodePage(std::string bytes, std::wstring_view contentType = {});

}  // namespace plugin
