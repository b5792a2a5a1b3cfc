#pragma once
// A loopback HTTP (or HTTPS) server that a test scripts: each request path gets an
// HttpReply; the exact bytes of every request are recorded. Linked by test programs only.
//
//     HttpTestServer server;
//     server.route("/page", HttpReply::status(200, "OK", {}, "hello"));
//     ... fetch server.url("/page") ...
//     EXPECT_EQ(server.requests().at(0), "GET /page HTTP/1.0\r\n...");
//
// It listens on 127.0.0.1 only, on a free port. Every connection is served by a thread of
// its own; every wait is bounded (a connection lives at most 60 s, the server 10 min), and
// the destructor stops and joins everything. Unknown paths get a 404.

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "testSupport/src/httpReply.h"

namespace testSupport {

class TlsTestFiles;

class HttpTestServer {
 public:
  // With `tls`, serves HTTPS with its server certificate. Throws std::runtime_error when
  // it cannot listen.
  explicit HttpTestServer(const TlsTestFiles* tls = nullptr);
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  std::uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>" + path ("https://..." with TLS).
  std::string url(std::string_view path) const;

  // The reply to requests for `path` (the target before any "?"); replaces an earlier one.
  void route(const std::string& path, HttpReply reply);
  // From now on every connection is accepted and then held without a byte answered, even in
  // a TLS handshake, until the client goes away (at most 30 s).
  void answerNothing() { silent_ = true; }
  // Every request received so far, whole (head and body), in the order they arrived.
  std::vector<std::string> requests() const;

 private:
  struct Tls;

  void acceptLoop();
  void serve(int fd);
  HttpReply replyFor(const std::string& request) const;

  int listenFd_ = -1;
  std::uint16_t port_ = 0;
  std::unique_ptr<Tls> tls_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> silent_{false};
  mutable std::mutex mutex_;
  std::map<std::string, HttpReply> routes_;
  std::vector<std::string> requests_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace testSupport
