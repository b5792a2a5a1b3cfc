// Whole downloads and FTP transfers through the real Internet layer against loopback servers.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <sstream>

#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/asyncHttp.h"
#include "net/src/asyncHttpPool.h"
#include "net/src/httpGetRequest.h"
#include "net/src/internetConn.h"
#include "net/src/networkSettings.h"
#include "net/tests/gzipMember.h"
#include "net/tests/netFixture.h"
#include "platform/inet/src/extraCaFile.h"
#include "testSupport/src/ftpTestServer.h"
#include "testSupport/src/httpTestServer.h"
#include "testSupport/src/scratchDir.h"
#include "testSupport/src/tlsTestFiles.h"

namespace net {
namespace {

using test::failure;
using test::ProgressRecorder;
using test::text;
using testSupport::HttpReply;
using testSupport::HttpTestServer;
using testSupport::TlsTestFiles;

std::wstring wide(const std::string& text) {
  return misc::fromUtf8(text);
}

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A loopback listener whose queue is full, so that a new connection is never completed.
class FullListener {
 public:
  FullListener() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd_, 0) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      ADD_FAILURE() << "cannot listen";
    }
    port_ = ntohs(address.sin_port);
    // The kernel completes at most backlog + 1 connections that nobody accepts.
    for (int& filler : fillers_) {
      filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      ::connect(filler, reinterpret_cast<sockaddr*>(&address), length);
    }
  }
  ~FullListener() {
    for (const int filler : fillers_) ::close(filler);
    ::close(fd_);
  }
  FullListener(const FullListener&) = delete;
  FullListener& operator=(const FullListener&) = delete;
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
  int fillers_[3] = {};
};

// A progress callback that asks to cancel from 300 ms on, and notes when it first did.
struct LateCancel {
  Clock::time_point start = Clock::now();
  std::optional<Clock::time_point> asked;

  static int check(const misc::CProgress&, const HttpRequest&, std::uintptr_t context,
                   bool* cancel) {
    auto& self = *reinterpret_cast<LateCancel*>(context);
    const auto now = Clock::now();
    if (now - self.start < 300ms) return 0;
    if (!self.asked) self.asked = now;
    *cancel = true;
    return 0;
  }
  std::uintptr_t context() { return reinterpret_cast<std::uintptr_t>(this); }
};

class EndToEndTest : public testing::Test {
 protected:
  EndToEndTest() { connection.open(false); }
  std::wstring url(const std::string& path) const { return wide(server.url(path)); }

  HttpTestServer server;
  InternetConn connection;
};

}  // namespace

TEST_F(EndToEndTest, DownloadsPlainGzipAndChunkedBodies) {
  const std::string page = test::sampleText(300000);
  const std::string zipped = test::gzipMember(page, {2 | 4 | 8 | 16, "xy", "page.html", "note"});
  server.route("/plain", HttpReply::status(200, "OK", {}, page));
  server.route("/gzip", HttpReply::status(200, "OK", {"Content-Encoding: gzip"}, zipped));
  server.route("/chunked", HttpReply::chunked({}, page, 7000));
  for (const char* path : {"/plain", "/gzip", "/chunked"}) {
    ByteVector body = {'o', 'l', 'd'};
    connection.downloadUrl(url(path), body);
    EXPECT_TRUE(text(body) == page) << path << ": " << body.size() << " bytes";
  }
  const std::string head =
      "GET /plain HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
      "\r\nUser-Agent: Tarvo/2.3.5PRO\r\nPragma: no-cache\r\n"
      "Accept-Encoding: gzip\r\n\r\n";
  EXPECT_EQ(server.requests().at(0), head);

  std::ostringstream stream;
  connection.downloadToStream(url("/gzip"), stream);
  EXPECT_TRUE(stream.str() == zipped) << "a stream gets the body as it was sent";
  EXPECT_EQ(server.requests().back().find("Accept-Encoding"), std::string::npos);
}

TEST_F(EndToEndTest, StatusFailuresAndRedirectsThePoolFollows) {
  server.route("/gone", HttpReply::status(404, "Not Here", {}, "sorry"));
  ByteVector body;
  EXPECT_EQ(failure([&] { connection.downloadUrl(url("/gone"), body); }),
            L"Download failed: 404 Not Here");

  // Handed back by the layer, the redirects are the pool's: a relative one stays on the
  // server's port.
  server.route("/dir/first", HttpReply::redirect(302, "second"));
  server.route("/second", HttpReply::redirect(301, "/third?x=1"));
  server.route("/third", HttpReply::status(200, "OK", {"ETag: \"e\""}, "arrived"));
  HttpGetRequest request(url("/dir/first"));
  request.noAutoRedirect = true;
  request.extraHeaders = {{L"X-One", L"1"}, {L"X-Two", L"2"}};
  const auto response = connection.doHttpRequest(request);
  EXPECT_EQ(text(*response->getData()), "arrived");
  EXPECT_EQ(response->getHeaders().at(L"etag"), L"\"e\"");
  std::wstring target;
  bool permanent = false;
  ASSERT_TRUE(response->getRedirect(target, permanent));
  EXPECT_EQ(target, url("/third?x=1"));
  EXPECT_TRUE(permanent);
  EXPECT_NE(server.requests().back().find("X-One: 1\r\nX-Two: 2\r\n"), std::string::npos);
}

// Every certificate is made for 127.0.0.1 and trusted through the test's CA but for the
// one fault each case names.
TEST_F(EndToEndTest, EachTlsFailureGivesItsOwnReason) {
  using Server = TlsTestFiles::Server;
  enum class Client { Tls, Plain, TlsToPlainPort };
  const struct {
    Server certificate;
    Client client;
    std::wstring failure;
  } cases[] = {
      {Server::Good, Client::Tls, L""},
      {Server::WrongName, Client::Tls,
       L"The host name in the server certificate does not match the server's name."},
      {Server::Expired, Client::Tls, L"The server certificate has expired or is not yet valid."},
      {Server::SelfSigned, Client::Tls,
       L"The certificate authority of the server certificate is not trusted."},
      {Server::UnknownCa, Client::Tls,
       L"The certificate authority of the server certificate is not trusted."},
      {Server::Good, Client::Plain, L"The connection with the server was reset."},
      {Server::Good, Client::TlsToPlainPort, L"An error occurred in the secure channel support."},
  };
  server.route("/", HttpReply::status(200, "OK", {}, "plain"));
  for (const auto& c : cases) {
    const TlsTestFiles tls(c.certificate);
    platform::inet::setExtraCaFile(tls.caFile());
    HttpTestServer tlsServer(&tls);
    tlsServer.route("/", HttpReply::status(200, "OK", {}, "private"));
    std::string address = tlsServer.url("/");
    if (c.client == Client::Plain) address.replace(0, 5, "http");
    if (c.client == Client::TlsToPlainPort) address = server.url("/").replace(0, 4, "https");
    ByteVector body;
    EXPECT_EQ(failure([&] { connection.downloadUrl(wide(address), body); }), c.failure)
        << address << " with certificate " << static_cast<int>(c.certificate);
    if (c.failure.empty()) {
      EXPECT_EQ(text(body), "private");
    }
  }
  platform::inet::setExtraCaFile("");
}

// Replies that are not HTTP, and redirects past libcurl's limit of ten.
TEST_F(EndToEndTest, HostileRepliesGiveTheirOwnReasons) {
  for (int i = 0; i < 11; ++i) {
    server.route("/r" + std::to_string(i), HttpReply::redirect(302, "/r" + std::to_string(i + 1)));
  }
  server.route("/r11", HttpReply::status(200, "OK", {}, "never"));
  server.route("/toFtp", HttpReply::redirect(302, "ftp://127.0.0.1/x"));
  server.route("/http09", HttpReply().send("<html>an HTTP/0.9 page</html>\n"));
  server.route("/garbage", HttpReply().send("HTXP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"));
  const std::pair<const char*, std::wstring> cases[] = {
      {"/r0", L"Too many redirects."},
      {"/toFtp",
       L"The redirection failed because the scheme changed or every attempt to redirect failed."},
      {"/http09", L"The server's reply is not HTTP."},
      {"/garbage", L"The server's reply is not HTTP."},
  };
  for (const auto& [path, expected] : cases) {
    ByteVector body;
    EXPECT_EQ(failure([&] { connection.downloadUrl(url(path), body); }), expected) << path;
  }
}

// A page may hold at most the limit, decoded: a body at the limit arrives whole into one
// allocation, one past it fails with the limit's words, whether a Content-Length says so
// first, the bytes run on unannounced, they inflate beyond it, or a local file holds them.
TEST_F(EndToEndTest, APageHoldsAtMostTheLimitWhereverItComesFrom) {
  constexpr std::size_t kLimit = 1 << 20;
  const std::string page = test::sampleText(kLimit);
  const std::string longer = page + "!";
  testSupport::ScratchDir dir;
  dir.write("page.html", page);
  dir.write("longer.html", longer);
  server.route("/page", HttpReply::status(200, "OK", {}, page));
  server.route("/longer", HttpReply::status(200, "OK", {}, longer));
  server.route("/chunked", HttpReply::chunked({}, longer, 7000));
  server.route("/zipped",
               HttpReply::status(200, "OK", {"Content-Encoding: gzip"}, test::gzipMember(page)));
  server.route("/zippedLonger",
               HttpReply::status(200, "OK", {"Content-Encoding: gzip"}, test::gzipMember(longer)));
  // 64 KB that inflate to 64 MB, and a length that no page may have.
  server.route("/bomb", HttpReply::status(200, "OK", {"Content-Encoding: gzip"},
                                          test::gzipMember(std::string(64 << 20, '\0'))));
  server.route("/huge",
               HttpReply().send("HTTP/1.0 200 OK\r\nContent-Length: 5000000000\r\n\r\n").stall());
  const std::wstring tooLarge = L"The page is larger than 1 Mb.";
  const struct {
    std::wstring url;
    std::wstring message;
  } cases[] = {
      {url("/page"), L""},
      {url("/zipped"), L""},
      {dir.wfile("page.html"), L""},
      {L"file://" + dir.wfile("page.html"), L""},
      {url("/longer"), tooLarge},
      {url("/chunked"), tooLarge},
      {url("/zippedLonger"), tooLarge},
      {url("/bomb"), tooLarge},
      {url("/huge"), tooLarge},
      {dir.wfile("longer.html"), tooLarge},
      {L"file://" + dir.wfile("longer.html"), tooLarge},
  };
  networkSettings().maxBodyBytes = kLimit;
  for (const auto& c : cases) {
    ByteVector body;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(failure([&] { connection.downloadUrl(c.url, body); }), c.message) << c.url;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.url;
    if (!c.message.empty()) continue;
    EXPECT_TRUE(text(body) == page) << c.url << ": " << body.size() << " bytes";
    if (c.url == url("/page")) {
      EXPECT_EQ(body.capacity(), page.size()) << "one allocation";
    }
  }
  networkSettings() = {};
  ByteVector body;
  EXPECT_EQ(failure([&] { connection.downloadUrl(url("/huge"), body); }),
            L"The page is larger than 256 Mb.")
      << "the limit by default";
}

TEST_F(EndToEndTest, AsynchronousTransfersFinishWhenTheirServerAnswers) {
  connection.close();
  connection.open(true);
  const std::string page = test::sampleText(200000);
  server.route("/slow", HttpReply().pause(1500).send("HTTP/1.0 200 OK\r\n\r\nslow"));
  server.route("/big",
               HttpReply::status(200, "OK", {"Content-Encoding: gzip"}, test::gzipMember(page)));
  server.route("/missing", HttpReply::status(404, "Not Found", {}, ""));
  const char* paths[] = {"/slow", "/big", "/missing"};
  std::vector<std::unique_ptr<HttpGetRequest>> requests;
  std::vector<std::unique_ptr<AsyncHttp>> transfers;
  AsyncHttpPool pool;
  for (const char* path : paths) {
    requests.push_back(std::make_unique<HttpGetRequest>(url(path)));
    transfers.push_back(std::make_unique<AsyncHttp>(connection, *requests.back()));
    pool.add(transfers.back().get());
  }
  std::vector<AsyncHttp*> order;
  for (int i = 0; i < 3; ++i) {
    AsyncHttp* finished = nullptr;
    ASSERT_EQ(pool.wait({}, finished, 30), AsyncHttpPool::kFinished);
    order.push_back(finished);
  }
  EXPECT_EQ(order.back(), transfers[0].get()) << "the slow server answers last";
  EXPECT_EQ(text(*transfers[0]->takeResponse()->getData()), "slow");
  EXPECT_TRUE(text(*transfers[1]->takeResponse()->getData()) == page);
  EXPECT_EQ(transfers[2]->takeResponse()->getStatusCode(), 404);

  ByteVector body;
  connection.downloadUrl(url("/big"), body);
  EXPECT_TRUE(text(body) == page) << "doHttpRequest waits for the layer's thread";
}

// The cancel flag is asked while the server keeps silent, in every stage and both modes.
TEST_F(EndToEndTest, ACancelEndsTheDownloadWithinASecondWhateverTheServerDoes) {
  const FullListener full;
  HttpTestServer silent;
  silent.answerNothing();
  const std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n";
  server.route("/noAnswer", HttpReply().stall());
  server.route("/stalledBody", HttpReply().send(head).send("first bytes").stall());
  const std::pair<const char*, std::string> stages[] = {
      {"connect", full.url()},
      {"TLS handshake", silent.url("/").replace(0, 4, "https")},
      {"waiting for the headers", server.url("/noAnswer")},
      {"stalled body", server.url("/stalledBody")},
  };
  for (const bool async : {false, true}) {
    for (const auto& [stage, address] : stages) {
      InternetConn own;
      own.open(async);
      LateCancel cancel;
      ByteVector body;
      const std::wstring message = failure(
          [&] { own.downloadUrl(wide(address), body, &LateCancel::check, cancel.context()); });
      const auto ended = Clock::now();
      EXPECT_EQ(message, L"The download was cancelled.") << stage << (async ? " (async)" : "");
      ASSERT_TRUE(cancel.asked) << stage << ": the cancel flag was never asked";
      EXPECT_LT(ended - *cancel.asked, 1s) << stage << (async ? " (async)" : "");
    }
  }
}

TEST_F(EndToEndTest, TheTimeLimitEndsADownloadThatTricklesOrNeverStarts) {
  // No length given: a length past the body limit would be refused before any wait.
  HttpReply trickle = HttpReply().send("HTTP/1.0 200 OK\r\n\r\n");
  for (int i = 0; i < 40; ++i) trickle.send("x").pause(500);
  server.route("/trickle", trickle);
  server.route("/noAnswer", HttpReply().stall());
  networkSettings().timeLimit = 1;
  for (const char* path : {"/trickle", "/noAnswer"}) {
    const auto start = Clock::now();
    ByteVector body;
    EXPECT_EQ(failure([&] { connection.downloadUrl(url(path), body); }),
              L"The download did not end within its time limit of 1 s.")
        << path;
    const auto took = Clock::now() - start;
    EXPECT_GE(took, 1s) << path;
    EXPECT_LT(took, 2s) << path;
  }
  networkSettings() = {};
}

TEST(EndToEndFtpTest, UploadDownloadProgressAndRefusals) {
  testSupport::FtpTestServer server;
  InternetConn connection;
  connection.open(false);
  const std::wstring base = L"127.0.0.1:" + std::to_wstring(server.port());
  const std::wstring user = wide(testSupport::FtpTestServer::kUser);
  const std::wstring password = wide(testSupport::FtpTestServer::kPassword);

  ByteVector data(70000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  FtpRequest upload(base + L"/up.bin", user, password, &data);  // "ftp://" is put in front
  ProgressRecorder progress;
  connection.ftpUpload(upload, &ProgressRecorder::record<FtpRequest>, progress.context());
  EXPECT_TRUE(server.root().read("up.bin") == text(data));
  EXPECT_EQ(progress.reports,
            (std::vector<std::wstring>{L"Connecting to 127.0.0.1...", L"Opening /up.bin...",
                                       L"Sending 68.36 Kb...", L"32768/70000", L"65536/70000",
                                       L"70000/70000"}));

  for (const bool active : {false, true}) {
    networkSettings().ftpActiveMode = active;
    ByteVector appended = {'>'};
    FtpRequest download(L"FTP://" + base + L"/up.bin", user, password, &appended);
    connection.ftpDownload(download);
    EXPECT_EQ(appended.size(), data.size() + 1) << active;
    EXPECT_TRUE(std::equal(data.begin(), data.end(), appended.begin() + 1)) << "appended";
  }
  networkSettings() = {};

  ByteVector sink;
  FtpRequest missing(L"ftp://" + base + L"/none.bin", user, password, &sink);
  EXPECT_THAT(
      failure([&] { connection.ftpDownload(missing); }),
      testing::StartsWith(L"Can't open the remote file: ftp://" + base + L"/none.bin - 550"));
  FtpRequest wrong(L"ftp://" + base + L"/up.bin", user, L"wrong", &sink);
  EXPECT_THAT(failure([&] { connection.ftpDownload(wrong); }),
              testing::StartsWith(std::wstring(L"Can't connect to 127.0.0.1: ")));
  progress.cancelAt = L"32768/70000";
  EXPECT_EQ(failure([&] {
              connection.ftpUpload(upload, &ProgressRecorder::record<FtpRequest>,
                                   progress.context());
            }),
            L"The FTP upload was cancelled.");
}

}  // namespace net
