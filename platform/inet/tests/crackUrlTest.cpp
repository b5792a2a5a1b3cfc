// Splitting URLs into the parts the Internet API's cracker gives.
#include <gtest/gtest.h>

#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/urlComponents.h"
#include "platform/src/thread.h"

namespace {

using namespace platform::inet;

TEST(InetCrackUrl, SplitsIntoSchemeHostPortPathAndExtraInfo) {
  struct Case {
    const wchar_t* url;
    int scheme;
    const wchar_t* host;
    std::uint16_t port;
    const wchar_t* path;
    const wchar_t* extra;
  };
  const Case cases[] = {
      {L"http://example.org/dir/page?x=1#top", INTERNET_SCHEME_HTTP, L"example.org", 80,
       L"/dir/page", L"?x=1#top"},
      {L"HTTPS://Example.org:8443", INTERNET_SCHEME_HTTPS, L"Example.org", 8443, L"", L""},
      {L"http://h/a%20b/../c", INTERNET_SCHEME_HTTP, L"h", 80, L"/a%20b/../c", L""},
      {L"ftp://user:pw@[::1]/f.bin", INTERNET_SCHEME_FTP, L"::1", 21, L"/f.bin", L""},
      {L"http://h?only", INTERNET_SCHEME_HTTP, L"h", 80, L"", L"?only"},
      {L"file:///C:/pages/a.html", INTERNET_SCHEME_FILE, L"", 0, L"/C:/pages/a.html", L""},
      {L"file://localhost/x", INTERNET_SCHEME_FILE, L"localhost", 0, L"/x", L""},
      {L"mailto:someone@example.org", INTERNET_SCHEME_MAILTO, L"", 0, L"someone@example.org", L""},
      {L"/home/me/page.html", INTERNET_SCHEME_UNKNOWN, L"", 0, L"/home/me/page.html", L""},
      {L"C:\\pages\\a.html", INTERNET_SCHEME_UNKNOWN, L"", 0, L"C:\\pages\\a.html", L""},
  };
  for (const Case& c : cases) {
    UrlComponents parts;
    ASSERT_TRUE(crackUrl(c.url, parts)) << c.url;
    EXPECT_EQ(parts.scheme, c.scheme) << c.url;
    EXPECT_EQ(parts.host, c.host) << c.url;
    EXPECT_EQ(parts.port, c.port) << c.url;
    EXPECT_EQ(parts.path, c.path) << c.url;
    EXPECT_EQ(parts.extraInfo, c.extra) << c.url;
  }
  UrlComponents account;
  ASSERT_TRUE(crackUrl(L"ftp://user:pw@host/", account));
  EXPECT_EQ(account.schemeText, L"ftp");
  EXPECT_EQ(account.userName, L"user");
  EXPECT_EQ(account.password, L"pw");
}

TEST(InetCrackUrl, RefusesUnknownSchemesAndBrokenUrls) {
  const std::pair<const wchar_t*, std::uint32_t> cases[] = {
      {L"gopherish://host/", ERROR_INTERNET_UNRECOGNIZED_SCHEME},
      {L"http://", ERROR_INTERNET_INVALID_URL},
      {L"http:relative", ERROR_INTERNET_INVALID_URL},
      {L"http://host:99999/", ERROR_INTERNET_INVALID_URL},
      {L"http://bad host/", ERROR_INTERNET_INVALID_URL},
  };
  for (const auto& [url, error] : cases) {
    UrlComponents parts;
    parts.host = L"kept";
    EXPECT_FALSE(crackUrl(url, parts)) << url;
    EXPECT_EQ(platform::getLastError(), error) << url;
    EXPECT_EQ(parts.host, L"kept") << url;
  }
}

}  // namespace
