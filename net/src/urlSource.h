#pragma once
// Where the page a URL names comes from: the one table of sources that the downloader and
// the plug-in both read a settings URL by.
//
//     urlSourceOf(L"/srv/page.html")          // kLocalPath
//     urlSourceOf(L"FILE:///srv/page.html")   // kFile
//     urlSourceOf(L"https://example.org/")    // kHttps
//     urlSourceOf(L"mailto:a@example.org")    // kOther
//
// A text has a scheme when it starts with a name of two or more characters and a ':'
// (platform::inet::schemeLength); a single letter is a drive, so "C:/a.html" is a path.
// Names are compared ignoring ASCII case. Only the scheme is looked at: whether the rest
// is a URL that can be fetched is for the reader of that source to find out.
//
// Pure functions of their arguments: any thread may call them; they never throw.

#include <string_view>

namespace net {

enum class UrlSource {
  kLocalPath,  // no scheme: the text is a path
  kFile,
  kHttp,
  kHttps,
  kFtp,
  kOther,  // any other scheme, known to the Internet layer or not
};

UrlSource urlSourceOf(std::wstring_view text);

// The scheme of the source in lower case ("http"); empty for kLocalPath and kOther.
std::wstring_view schemeName(UrlSource source);

}  // namespace net
