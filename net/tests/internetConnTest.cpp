// Whole transfers through InternetConn over the scripted Internet: what a request sends,
// progress and cancellation, bodies, local files, failures, options, FTP and URL helpers.
#include "net/src/internetConn.h"

#include <algorithm>
#include <sstream>
#include <streambuf>

#include "net/src/httpGetRequest.h"
#include "net/src/internal_net.h"
#include "net/src/msgGroups.h"
#include "net/tests/gzipMember.h"
#include "net/tests/logCapture.h"
#include "net/tests/netFixture.h"
#include "testSupport/src/scratchDir.h"

namespace net {
namespace {

namespace inet = platform::inet;
using test::failure;
using test::FakeAnswer;
using test::ok;
using test::ProgressRecorder;
using test::text;

class Fixed : public Authenticator {
 public:
  explicit Fixed(std::wstring value) : value_(std::move(value)) {}
  std::wstring value() const override { return value_; }

 private:
  std::wstring value_;
};

class InternetConnTest : public test::NetFixture {};

constexpr std::uint32_t kFlags = inet::INTERNET_FLAG_RELOAD | inet::INTERNET_FLAG_NO_CACHE_WRITE |
                                 inet::INTERNET_FLAG_PRAGMA_NOCACHE;

}  // namespace

TEST_F(InternetConnTest, WhatARequestSends) {
  fake.answer(L"h/p?q=1", ok({"x"}));
  fake.answer(L"h", ok({"root"}));
  setProxyAuthenticator(std::make_shared<Fixed>(L"proxy secret"));
  HttpGetRequest request(L"https://h/p?q=1#f");
  request.extraHeaders = {{L"X-B", L"2"}, {L"X-A", L"1"}};
  request.authenticator = std::make_unique<Fixed>(L"Basic abc");
  request.noAutoRedirect = true;
  connection.doHttpRequest(request);
  HttpGetRequest plain(L"http://h");
  std::ostringstream sink;
  plain.setSaveStream(&sink);
  ProgressRecorder progress;
  connection.doHttpRequest(plain, &ProgressRecorder::record<HttpRequest>, progress.context());

  const auto sent = fake.sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].verb + L" " + sent[0].object + L" " + sent[0].version, L"GET /p?q=1 HTTP/1.0")
      << "never the fragment";
  EXPECT_EQ(sent[0].port, 443);
  EXPECT_EQ(sent[0].flags,
            kFlags | inet::INTERNET_FLAG_SECURE | inet::INTERNET_FLAG_NO_AUTO_REDIRECT);
  EXPECT_EQ(sent[0].headers,
            (std::vector<std::wstring>{L"X-B: 2", L"X-A: 1", L"Accept-Encoding: gzip",
                                       L"Authorization: Basic abc",
                                       L"Proxy-Authorization: proxy secret"}));
  EXPECT_EQ(sent[1].object, L"");
  EXPECT_EQ(sent[1].port, 80);
  EXPECT_EQ(sent[1].flags, kFlags);
  EXPECT_EQ(sent[1].headers, std::vector<std::wstring>{L"Proxy-Authorization: proxy secret"})
      << "no Accept-Encoding with a save stream";
  EXPECT_EQ(progress.reports[1], L"Opening document...");
  EXPECT_EQ(fake.calls().front(), L"session Tarvo/2.3.5PRO 0");
}

TEST_F(InternetConnTest, ProgressReportsAndCancellation) {
  fake.answer(L"h/sized", ok({"abc", "def"}, {{inet::HTTP_QUERY_CONTENT_LENGTH, L"6"}}));
  fake.answer(L"h/unsized", ok({std::string(1500, 'x'), "y"}));
  const struct {
    const wchar_t* url;
    std::wstring cancelAt;
    std::vector<std::wstring> reports;
    std::wstring message;
  } cases[] = {
      {L"http://h/sized",
       L"",
       {L"Connecting to h...", L"Opening /sized...", L"Downloading 6 bytes...", L"3/6", L"6/6"},
       L""},
      {L"http://h/unsized",
       L"",
       {L"Connecting to h...", L"Opening /unsized...", L"Received 1.46 Kb...",
        L"Received 1.47 Kb..."},
       L""},
      {L"http://h/sized",
       L"Opening /sized...",
       {L"Connecting to h...", L"Opening /sized..."},
       L"The download was cancelled."},
      {L"http://h/sized", L"3/6", {}, L"The download was cancelled."},
  };
  for (const auto& c : cases) {
    ProgressRecorder progress;
    progress.cancelAt = c.cancelAt;
    ByteVector body;
    EXPECT_EQ(failure([&] {
                connection.downloadUrl(c.url, body, &ProgressRecorder::record<HttpRequest>,
                                       progress.context());
              }),
              c.message);
    if (!c.reports.empty()) {
      EXPECT_EQ(progress.reports, c.reports);
    }
  }
}

TEST_F(InternetConnTest, BodiesAreReservedOnceUnzippedAndStreamedAsSent) {
  const std::string page = test::sampleText(200000);
  std::vector<std::string> blocks;
  for (std::size_t at = 0; at < page.size(); at += 30000) blocks.push_back(page.substr(at, 30000));
  fake.answer(L"h/big", ok(blocks, {{inet::HTTP_QUERY_CONTENT_LENGTH, L"200000"}}));
  const std::string zipped = test::gzipMember(page, {8, "", "page.html", ""});
  fake.answer(L"h/gz", ok({zipped.substr(0, 1000), zipped.substr(1000)},
                          {{inet::HTTP_QUERY_CONTENT_ENCODING, L"GZip"}}));
  fake.answer(L"h/bad", ok({"not gzip data"}, {{inet::HTTP_QUERY_CONTENT_ENCODING, L"gzip"}}));

  ByteVector body;
  EXPECT_EQ(download(L"http://h/big", body), L"");
  EXPECT_TRUE(text(body) == page);
  EXPECT_EQ(body.capacity(), 200000u) << "one allocation from Content-Length";
  EXPECT_EQ(download(L"http://h/gz", body), L"");
  EXPECT_TRUE(text(body) == page);
  std::ostringstream stream;
  connection.downloadToStream(L"http://h/gz", stream);
  EXPECT_TRUE(stream.str() == zipped) << "a stream gets the body as it was sent";
  EXPECT_EQ(download(L"http://h/bad", body),
            L"Missing magic ID in the compressed HTTP response header.");
}

TEST_F(InternetConnTest, LocalFilesByPathAndFileUrl) {
  const std::string local("<p>\0local", 9);
  testSupport::ScratchDir dir;
  dir.write("page.html", local);
  dir.write("a page.html", local);
  const std::wstring path = dir.wfile("page.html");
  const struct {
    std::wstring url;
    std::wstring message;
  } cases[] = {
      {path, L""},
      {L"file://" + path, L""},
      {L"file://localhost" + path, L""},
      {dir.wfile(""), L"Can't find file: " + dir.wfile("")},
      {path + L".missing", L"Can't find file: " + path + L".missing"},
      {L"file://" + path + L".missing", L"Can't open file: " + path + L".missing"},
      {L"file://" + dir.wfile(""), L"Can't open file: " + dir.wfile("")},
      {L"file://" + dir.wfile("a%20page.html"), L""},
      {L"/dev/null", L"Can't open file: /dev/null"},
      {L"file://elsewhere" + path, L"The file: URL file://elsewhere" + path +
                                       L" names the host elsewhere; only files of this "
                                       L"computer can be read."},
      {L"ftp://h/page.html", L"Invalid protocol: ftp"},
      {L"xyz://h/", L"Can't parse URL (rc=0): xyz://h/"},
  };
  for (const auto& c : cases) {
    ByteVector body;
    EXPECT_EQ(download(c.url, body), c.message) << c.url;
    if (c.message.empty()) {
      EXPECT_EQ(text(body), local);
    }
  }
  std::ostringstream stream;
  connection.downloadToStream(path, stream);
  EXPECT_EQ(stream.str(), local);
  EXPECT_TRUE(fake.sent().empty());
}

namespace {

// Takes `room` bytes, then refuses every byte, as a full disk does.
class FullAfter : public std::streambuf {
 public:
  explicit FullAfter(std::size_t room) : room_(room) {}
  std::string kept;

 protected:
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    const auto taken = std::min(count, static_cast<std::streamsize>(room_ - kept.size()));
    kept.append(bytes, static_cast<std::size_t>(taken));
    return taken;
  }
  int_type overflow(int_type c) override {
    return xsputn(reinterpret_cast<const char*>(&c), 1) == 1 ? c : traits_type::eof();
  }

 private:
  std::size_t room_;
};

}  // namespace

TEST_F(InternetConnTest, AStreamThatRefusesBytesFailsTheDownload) {
  const std::string page = test::sampleText(200000);
  fake.answer(L"h/big", ok({page.substr(0, 100000), page.substr(100000)}));
  testSupport::ScratchDir dir;
  dir.write("page.html", page);
  for (const std::wstring& url : {std::wstring(L"http://h/big"), dir.wfile("page.html")}) {
    FullAfter full(40000);
    std::ostream stream(&full);
    EXPECT_EQ(failure([&] { connection.downloadToStream(url, stream); }),
              L"Can't write the downloaded data.")
        << url;
    EXPECT_EQ(full.kept, page.substr(0, 40000)) << url;
  }
}

TEST_F(InternetConnTest, ConnectionFailuresNameTheHostAndTheReason) {
  ByteVector body;
  fake.connectError = inet::ERROR_INTERNET_NAME_NOT_RESOLVED;
  reopen();
  EXPECT_EQ(download(L"http://nowhere.invalid/", body),
            L"Can't connect to nowhere.invalid: The server name could not be resolved.");
  connection.close();
  EXPECT_EQ(download(L"http://h/", body), L"Can't connect to h: The handle is invalid.")
      << "closed: not ENXIO's text";
}

TEST_F(InternetConnTest, OptionsAreSetOnlyWhenGivenAndARefusalIsOnlyLogged) {
  fake.answer(L"h/", ok({"x"}));
  ByteVector body;
  EXPECT_EQ(download(L"http://h/", body), L"");
  EXPECT_EQ(fake.calls().size(), 1u) << "defaults set nothing";

  NetworkSettings& settings = networkSettings();
  settings.connectTimeout = 5000;
  settings.receiveTimeout = 7000;
  settings.proxyUserName = L"user";
  settings.readBufferSize = 4096;
  fake.refusedOptions = {inet::INTERNET_OPTION_RECEIVE_TIMEOUT};
  reopen();
  test::LogCapture log({});
  EXPECT_EQ(download(L"http://h/", body), L"");
  const auto calls = fake.calls();
  EXPECT_EQ(
      std::vector<std::wstring>(calls.begin() + 2, calls.end()),
      (std::vector<std::wstring>{L"connection 2=5000", L"connection 43='user'",
                                 L"connection 12=4096", L"request 2=5000", L"request 43='user'"}));
  EXPECT_TRUE(
      log.contains(L"Can't set WinInet option:6 to 7000: An invalid option value was given.\n"))
      << log.text();
}

TEST(UrlHelpersTest, CrackUrlKeepsPaths) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"/tmp/a.html", L"/tmp/a.html"},
      {L"page.html", L"page.html"},
      {L"http://h/localhost/x", L"/localhost/x"},  // http paths stay
  };
  for (const auto& [url, path] : cases) EXPECT_EQ(crackUrl(url).path, path) << url;
  EXPECT_EQ(crackUrl(L"/tmp/a.html").scheme, inet::INTERNET_SCHEME_UNKNOWN);
}

TEST(UrlHelpersTest, ResolveRedirectUrl) {
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
      {L"http://h/dir/page", L"next.html", L"http://h/next.html"},
      {L"http://h/dir/page", L"/abs?x=1", L"http://h/abs?x=1"},
      {L"https://u:p@h:443/dir/", L"n", L"https://h/n"},
      {L"http://h:8080/dir/", L"n", L"http://h:8080/n"},
      {L"http://h/", L"HTTPS://other/x", L"HTTPS://other/x"},
      {L"xyz://h/", L"n", L"n"},
  };
  for (const auto& [base, location, expected] : cases) {
    EXPECT_EQ(resolveRedirectUrl(base, location), expected) << base << L" + " << location;
  }
}

}  // namespace net
