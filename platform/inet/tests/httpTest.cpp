// HTTP through the Internet layer against scripted loopback servers.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "platform/inet/src/extraCaFile.h"
#include "platform/inet/tests/openedRequest.h"
#include "testSupport/src/httpTestServer.h"
#include "testSupport/src/scopedVariable.h"
#include "testSupport/src/scratchDir.h"
#include "testSupport/src/tlsTestFiles.h"

namespace {

using namespace inetTest;
using testSupport::HttpReply;
using testSupport::HttpTestServer;

std::unique_ptr<Session> syncSession() {
  return Session::open(L"Tarvo/2.3.5PRO", 0);
}

std::wstring query(Request& request, std::uint32_t code) {
  std::wstring value;
  return request.queryInfo(code, value) ? value : L"<none>";
}

TEST(InetHttp, SendsAnHttp10RequestWithItsHeadersInOrderAndAnswersQueries) {
  HttpTestServer server;
  server.route("/page",
               HttpReply::status(404, "Not Here",
                                 {"ETag: \"v1\"", "X-Twice: first", "x-twice: second"}, "gone"));
  auto session = syncSession();
  auto opened = openRequest(*session, server.url("/page?q=a b"), INTERNET_FLAG_PRAGMA_NOCACHE);
  ASSERT_TRUE(opened.request);
  Request& request = *opened.request;
  const struct {
    const wchar_t* headers;
    std::uint32_t flags, error;
  } added[] = {
      {L"X-First: 1\r\nX-Second: old", HTTP_ADDREQ_FLAG_ADD, 0},
      {L"Accept-Encoding: gzip", HTTP_ADDREQ_FLAG_ADD, 0},
      {L"x-second: two", HTTP_ADDREQ_FLAG_REPLACE, 0},
      {L"X-First: 2", HTTP_ADDREQ_FLAG_ADD_IF_NEW, ERROR_HTTP_HEADER_ALREADY_EXISTS},
      {L"no colon", HTTP_ADDREQ_FLAG_ADD, ERROR_HTTP_INVALID_HEADER},
  };
  for (const auto& a : added) {
    EXPECT_EQ(errorOf(request.addRequestHeaders(a.headers, a.flags)), a.error) << a.headers;
  }
  ASSERT_TRUE(request.send());
  const std::string expected =
      "GET /page?q=a%20b HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
      "\r\nUser-Agent: Tarvo/2.3.5PRO\r\nPragma: no-cache\r\n"
      "X-First: 1\r\nx-second: two\r\nAccept-Encoding: gzip\r\n\r\n";
  ASSERT_EQ(server.requests(), std::vector<std::string>{expected});

  std::uint32_t status = 0;
  ASSERT_TRUE(request.queryInfoNumber(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, status));
  EXPECT_EQ(status, 404u);
  const std::pair<std::uint32_t, const wchar_t*> answers[] = {
      {HTTP_QUERY_STATUS_TEXT, L"Not Here"},
      {HTTP_QUERY_VERSION, L"HTTP/1.0"},
      {HTTP_QUERY_ETAG, L"\"v1\""},
      {HTTP_QUERY_CONTENT_LENGTH, L"4"},
  };
  for (const auto& [code, value] : answers) EXPECT_EQ(query(request, code), value) << code;
  std::wstring value;
  ASSERT_TRUE(request.queryHeader(L"X-TWICE", value));
  EXPECT_EQ(value, L"first");
  EXPECT_EQ(errorOf(request.queryInfo(HTTP_QUERY_LOCATION, value)), ERROR_HTTP_HEADER_NOT_FOUND);
  EXPECT_EQ(errorOf(request.queryInfo(9999, value)), ERROR_HTTP_INVALID_QUERY_REQUEST);
  std::string body;
  ASSERT_TRUE(readAll(request, body));
  EXPECT_EQ(body, "gone");
}

TEST(InetHttp, AHeaderValueMustFitTheQueryBuffer) {
  HttpTestServer server;
  server.route("/fits", HttpReply::status(200, "OK", {"Location: " + std::string(4095, 'a')}, ""));
  server.route("/long", HttpReply::status(200, "OK", {"Location: " + std::string(4096, 'a')}, ""));
  auto session = syncSession();
  for (const auto& [path, fits] : {std::pair{"/fits", true}, std::pair{"/long", false}}) {
    auto opened = openRequest(*session, server.url(path), INTERNET_FLAG_NO_AUTO_REDIRECT);
    ASSERT_TRUE(opened.request->send()) << path;
    std::wstring value = L"untouched";
    EXPECT_EQ(errorOf(opened.request->queryInfo(HTTP_QUERY_LOCATION, value)),
              fits ? 0 : ERROR_INSUFFICIENT_BUFFER)
        << path;
    EXPECT_EQ(value.size(), fits ? 4095u : 9u) << path;
  }
}

TEST(InetHttp, BodiesArriveWholeInEveryFraming) {
  std::string body;
  for (int i = 0; body.size() < 300000; ++i) body += std::to_string(i) + ",";
  HttpTestServer server;
  server.route("/length", HttpReply::status(200, "OK", {}, body));
  server.route("/chunked", HttpReply::chunked({}, body, 7000));
  server.route("/close", HttpReply().send("HTTP/1.0 200 OK\r\n\r\n").send(body));
  auto session = syncSession();
  for (const char* path : {"/length", "/chunked", "/close"}) {
    auto opened = openRequest(*session, server.url(path));
    ASSERT_TRUE(opened.request->send()) << path;
    std::string received;
    ASSERT_TRUE(readAll(*opened.request, received, 1000)) << path;
    EXPECT_EQ(received, body) << path;
  }
  // Reads that hand the bytes over where they lie, between reads into a buffer: what was
  // queued and what comes straight from libcurl keep their order.
  for (const char* path : {"/length", "/chunked", "/close"}) {
    auto opened = openRequest(*session, server.url(path));
    ASSERT_TRUE(opened.request->send()) << path;
    std::string received;
    char buffer[1000];
    const auto append = [&received](std::string_view bytes) { received += bytes; };
    for (std::size_t got = 1, n = 0; got > 0; ++n) {
      const std::size_t before = received.size();
      const bool ok = n % 3 == 0 ? opened.request->read(buffer, sizeof buffer, got)
                                 : opened.request->read(append, got);
      ASSERT_TRUE(ok) << path;
      if (n % 3 == 0) received.append(buffer, got);
      ASSERT_EQ(received.size() - before, got) << path;
    }
    EXPECT_EQ(received, body) << path;
  }
  // A sink that refuses bytes ends the transfer with its exception.
  auto refused = openRequest(*session, server.url("/length"));
  ASSERT_TRUE(refused.request->send());
  std::size_t got = 0;
  EXPECT_THROW(
      refused.request->read([](std::string_view) { throw std::length_error("full"); }, got),
      std::length_error);
}

TEST(InetHttp, AReadReturnsWhatHasArrivedWithoutWaitingForTheRest) {
  HttpTestServer server;
  server.route("/trickle",
               HttpReply().send("HTTP/1.0 200 OK\r\n\r\nfirst").pause(1500).send("second"));
  auto session = syncSession();
  auto opened = openRequest(*session, server.url("/trickle"));
  ASSERT_TRUE(opened.request->send());
  char buffer[100];
  std::size_t got = 0;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(opened.request->read(buffer, sizeof buffer, got));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(std::string(buffer, got), "first");
  std::string rest;
  ASSERT_TRUE(readAll(*opened.request, rest));
  EXPECT_EQ(rest, "second");
}

// The peak resident memory of this process, in bytes.
std::size_t peakMemory() {
  const std::string status = testSupport::readBytes("/proc/self/status");
  const std::size_t at = status.find("VmHWM:");
  return at == std::string::npos ? 0 : std::stoul(status.substr(at + 6)) * 1024;
}

TEST(InetHttp, ALongBodyWaitsInBoundedMemoryUntilItIsRead) {
  constexpr std::size_t kBlock = 64 * 1024;
  constexpr std::size_t kBlocks = 800;  // 50 MB
  HttpTestServer server;
  server.route("/big", HttpReply()
                           .send("HTTP/1.0 200 OK\r\nContent-Length: " +
                                 std::to_string(kBlock * kBlocks) + "\r\n\r\n")
                           .repeat(std::string(kBlock, 'z'), kBlocks));
  server.route("/slow", HttpReply().send("HTTP/1.0 200 OK\r\n\r\n").pause(1500).send("end"));
  auto session = syncSession();
  auto big = openRequest(*session, server.url("/big"));
  ASSERT_TRUE(big.request->send());
  const std::size_t before = peakMemory();
  // Reading the slow body runs the session's transfers for a while: the big one too.
  auto slow = openRequest(*session, server.url("/slow"));
  ASSERT_TRUE(slow.request->send());
  std::string body;
  ASSERT_TRUE(readAll(*slow.request, body));
  EXPECT_LT(peakMemory() - before, 16u << 20);

  std::string buffer(32768, '\0');
  std::size_t total = 0;
  for (std::size_t got = 1; got > 0; total += got) {
    ASSERT_TRUE(big.request->read(buffer.data(), buffer.size(), got));
    ASSERT_EQ(std::string_view(buffer.data(), got).find_first_not_of('z'), std::string::npos);
  }
  EXPECT_EQ(total, kBlock * kBlocks);
  EXPECT_LT(peakMemory() - before, 16u << 20);
}

TEST(InetHttp, ABodyReadThroughASinkComesInTheReceiveBlocksAskedFor) {
  constexpr std::size_t kBlock = 64 * 1024;
  constexpr std::size_t kBlocks = 128;  // 8 MB, far more than a socket buffer holds
  HttpTestServer server;
  server.route("/big", HttpReply()
                           .send("HTTP/1.0 200 OK\r\nContent-Length: " +
                                 std::to_string(kBlock * kBlocks) + "\r\n\r\n")
                           .repeat(std::string(kBlock, 'b'), kBlocks));
  auto session = syncSession();
  // A read that waits takes what libcurl receives in one run, at most 100 blocks in a row;
  // the server outruns the reader, so a large block shows in reads past 100 default ones.
  constexpr std::size_t kDefaultRun = 100 * CURL_MAX_WRITE_SIZE;
  for (const std::size_t block : {std::size_t{0}, std::size_t{256 * 1024}}) {
    auto opened = openRequest(*session, server.url("/big"));
    ASSERT_TRUE(opened.request->setReceiveBlock(block));
    ASSERT_TRUE(opened.request->send());
    EXPECT_EQ(errorOf(opened.request->setReceiveBlock(block)),
              ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    std::size_t total = 0;
    std::size_t largest = 0;
    bool onlyBody = true;
    const std::function<void(std::string_view)> sink = [&](std::string_view bytes) {
      total += bytes.size();
      onlyBody = onlyBody && bytes.find_first_not_of('b') == std::string_view::npos;
    };
    for (std::size_t got = 1; got > 0; largest = std::max(largest, got)) {
      ASSERT_TRUE(opened.request->read(sink, got));
    }
    EXPECT_EQ(total, kBlock * kBlocks) << block;
    EXPECT_TRUE(onlyBody) << block;
    EXPECT_EQ(largest > kDefaultRun, block > 0) << block << ": " << largest;
  }
}

// A chain /r<from> -> ... -> /r<to-1> -> /final of `to - from` redirects.
void routeChain(HttpTestServer& server, int length) {
  for (int i = 0; i < length; ++i) {
    const std::string next = i + 1 == length ? "/final" : "/r" + std::to_string(i + 1);
    server.route("/r" + std::to_string(i), HttpReply::redirect(i % 2 ? 301 : 302, next));
  }
  server.route("/final", HttpReply::status(200, "OK", {}, "arrived"));
}

TEST(InetHttp, RedirectsAreFollowedToHttpOnlyAndAtMostTenTimes) {
  HttpTestServer ten;
  routeChain(ten, 10);
  HttpTestServer eleven;
  routeChain(eleven, 11);
  HttpTestServer toFile;
  toFile.route("/r0", HttpReply::redirect(302, "file:///etc/passwd"));
  auto session = syncSession();

  const std::tuple<std::uint32_t, const wchar_t*, const wchar_t*, const char*> cases[] = {
      {0, L"200", L"<none>", "arrived"},
      {INTERNET_FLAG_NO_AUTO_REDIRECT, L"302", L"/r1", "moved"},  // handed back
  };
  for (const auto& [flags, status, location, body] : cases) {
    auto opened = openRequest(*session, ten.url("/r0"), flags);
    ASSERT_TRUE(opened.request->send());
    EXPECT_EQ(query(*opened.request, HTTP_QUERY_STATUS_CODE), status);
    EXPECT_EQ(query(*opened.request, HTTP_QUERY_LOCATION), location);
    std::string received;
    ASSERT_TRUE(readAll(*opened.request, received));
    EXPECT_EQ(received, body);
  }
  EXPECT_EQ(ten.requests().size(), 10u + 1u + 1u);
  const std::pair<HttpTestServer*, std::uint32_t> refusals[] = {
      {&eleven, ERROR_HTTP_TOO_MANY_REDIRECTS}, {&toFile, ERROR_HTTP_REDIRECT_FAILED}};
  for (const auto& [server, error] : refusals) {
    auto refused = openRequest(*session, server->url("/r0"));
    EXPECT_EQ(errorOf(refused.request->send()), error);
  }
}

TEST(InetHttp, FailuresReportTheInternetCodes) {
  HttpTestServer server;
  server.route("/stall", HttpReply().send("HTTP/1.0 200 OK\r\n\r\nsome").stall());
  server.route("/silent", HttpReply().stall());
  server.route(
      "/reset",
      HttpReply().send("HTTP/1.0 200 OK\r\nContent-Length: 99\r\n\r\nab").pause(100).reset());
  server.route("/cut", HttpReply().send("HTTP/1.0 200 OK\r\nContent-Length: 99\r\n\r\nab"));
  server.route("/endless", HttpReply().send("HTTP/1.0 200 OK\r\n").endlessHeaders());
  server.route("/nothing", HttpReply());
  std::string refused;
  {
    const HttpTestServer gone;
    refused = gone.url("/");
  }
  struct Case {
    std::string url;
    bool failsOnSend;
    std::uint32_t error;
  };
  const Case cases[] = {
      {refused, true, ERROR_INTERNET_CANNOT_CONNECT},
      {"http://no-such-host.invalid/", true, ERROR_INTERNET_NAME_NOT_RESOLVED},
      {server.url("/silent"), true, ERROR_INTERNET_TIMEOUT},
      {server.url("/stall"), false, ERROR_INTERNET_TIMEOUT},
      {server.url("/reset"), false, ERROR_INTERNET_CONNECTION_RESET},
      {server.url("/cut"), false, ERROR_INTERNET_CONNECTION_ABORTED},
      {server.url("/endless"), true, ERROR_HTTP_INVALID_SERVER_RESPONSE},
      {server.url("/nothing"), true, ERROR_INTERNET_CONNECTION_ABORTED},
  };
  auto session = syncSession();
  ASSERT_TRUE(session->setOption(INTERNET_OPTION_RECEIVE_TIMEOUT, 1000u));
  for (const Case& c : cases) {
    auto opened = openRequest(*session, c.url);
    ASSERT_TRUE(opened.request) << c.url;
    const auto start = std::chrono::steady_clock::now();
    const bool sent = opened.request->send();
    EXPECT_EQ(sent, !c.failsOnSend) << c.url;
    std::string body;  // a sent request must fail while reading
    EXPECT_EQ(errorOf(sent && readAll(*opened.request, body)), c.error) << c.url;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << c.url;
  }
}

TEST(InetHttp, UrlsThatCannotBeSentFail) {
  auto session = syncSession();
  auto connection =
      session->connect(L"bad host", 80, L"", std::nullopt, INTERNET_SERVICE_HTTP, 0, 0);
  ASSERT_TRUE(connection);
  auto request = connection->openRequest(L"GET", L"/", L"HTTP/1.0", 0, 0);
  EXPECT_EQ(errorOf(request->send()), ERROR_INTERNET_INVALID_URL);
  EXPECT_EQ(errorOf(request->send()), ERROR_INTERNET_INCORRECT_HANDLE_STATE) << "again";
}

TEST(InetHttp, HttpsTrustsTheAuthoritiesThatTheVariablesOrTheExtraCaFileName) {
  const testSupport::TlsTestFiles tls, other("Other Test CA");
  const testSupport::ScratchDir empty("pgNoCa");
  HttpTestServer server(&tls);
  server.route("/secure", HttpReply::status(200, "OK", {}, "private"));
  using Value = std::optional<std::string>;
  const struct {
    const char* name;
    Value bundle, certFile, certDir;
    std::string extra;
    std::uint32_t error;
  } cases[] = {
      {"the system store only", {}, {}, {}, "", ERROR_INTERNET_INVALID_CA},
      {"CURL_CA_BUNDLE", tls.caFile(), {}, {}, "", 0},
      {"SSL_CERT_FILE", {}, tls.caFile(), {}, "", 0},
      {"SSL_CERT_DIR", {}, {}, tls.caDirectory(), "", 0},
      {"a directory beside a file", {}, other.caFile(), tls.caDirectory(), "", 0},
      {"a file beside a directory", {}, tls.caFile(), empty.path(), "", 0},
      {"CURL_CA_BUNDLE before the others", other.caFile(), tls.caFile(), tls.caDirectory(), "",
       ERROR_INTERNET_INVALID_CA},
      {"an empty CURL_CA_BUNDLE", "", tls.caFile(), {}, "", 0},
      {"the extra file", {}, {}, {}, tls.caFile(), 0},
      {"the extra file before the variables", tls.caFile(), tls.caFile(), tls.caDirectory(),
       other.caFile(), ERROR_INTERNET_INVALID_CA},
  };
  for (const auto& c : cases) {
    const testSupport::ScopedVariable bundle("CURL_CA_BUNDLE", c.bundle);
    const testSupport::ScopedVariable certFile("SSL_CERT_FILE", c.certFile);
    const testSupport::ScopedVariable certDir("SSL_CERT_DIR", c.certDir);
    setExtraCaFile(c.extra);
    // A session of its own: no connection or TLS session survives from the case before.
    auto session = syncSession();
    auto opened = openRequest(*session, server.url("/secure"));
    ASSERT_TRUE(opened.request) << c.name;
    const std::uint32_t error = errorOf(opened.request->send());
    EXPECT_EQ(error, c.error) << c.name;
    std::string body;
    if (error == 0) {
      EXPECT_TRUE(readAll(*opened.request, body)) << c.name;
      EXPECT_EQ(body, "private") << c.name;
    }
  }
  setExtraCaFile("");
}

}  // namespace
