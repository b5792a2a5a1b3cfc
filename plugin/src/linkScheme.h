#pragma once
// Which links a feed may carry: those a reader opens as a page, a file to fetch or a mail
// to write (the schemes http, https, ftp and mailto, any case), and relative ones. A
// `javascript:`, `data:` or any other scheme is refused, read as a browser reads it: blanks
// and control characters before it and tabs or line breaks inside it do not hide it.
//
// Pure functions: any thread may call them; they never throw.

#include <string_view>

namespace plugin {

// `link` with its character references already decoded.
bool isFeedLink(std::wstring_view link);

}  // namespace plugin
