#pragma once
// The local path that a file: URL names, for every reader of local pages:
//
//     fileUrlPath(L"file:///srv/a%20b.html")            // "/srv/a b.html"
//     fileUrlPath(L"file:/srv/page.html")               // "/srv/page.html"
//     fileUrlPath(L"FILE://LocalHost/srv/page.html")    // "/srv/page.html"
//     fileUrlPath(L"file://otherhost/srv/page.html")    // throws: another computer's file
//
// - The host, if any, must be empty or "localhost" (any case); the path runs from the
//   "/" after it to the first '?' or '#', "/" when there is none.
// - A path "localhost/x" (from "file:localhost/x") is "/x", and "/C:/x" is the drive path
//   "C:/x".
// - %XX escapes are decoded to bytes, read as UTF-8 (bytes that are not UTF-8 are kept as
//   platform::fromUtf8Escaped keeps them, so that the file name is found byte for byte).
// - A text that is not a file: URL (urlSourceOf() other than kFile) is returned as it is:
//   a plain path names itself.
//
// Throws misc::wruntime_error "The file: URL %1 names the host %2; only files of this
// computer can be read." (11552) for another host. A pure function: any thread may call.

#include <string>

namespace net {

std::wstring fileUrlPath(const std::wstring& url);

}  // namespace net
