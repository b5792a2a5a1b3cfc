#include "testSupport/src/httpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <chrono>
#include <csignal>
#include <stdexcept>

#include "testSupport/src/tlsTestFiles.h"

namespace testSupport {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kConnectionLifetime = std::chrono::seconds(60);
constexpr auto kServerLifetime = std::chrono::minutes(10);
constexpr auto kStallLimit = std::chrono::seconds(30);
constexpr std::size_t kEndlessLimit = 64u << 20;
constexpr std::size_t kRequestLimit = 1u << 20;

struct SslCtxDeleter {
  void operator()(SSL_CTX* ctx) const { SSL_CTX_free(ctx); }
};
struct SslDeleter {
  void operator()(SSL* ssl) const { SSL_free(ssl); }
};

// One accepted connection, plain or TLS; closes its socket when destroyed.
class Channel {
 public:
  Channel(int fd, SSL_CTX* ctx) : fd_(fd) {
    const timeval timeout{5, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (ctx == nullptr) return;
    ssl_.reset(SSL_new(ctx));
    SSL_set_fd(ssl_.get(), fd_);
    if (SSL_accept(ssl_.get()) != 1) ok_ = false;
  }
  ~Channel() {
    if (ssl_ && ok_ && !reset_) SSL_shutdown(ssl_.get());
    ::close(fd_);
  }
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  bool ok() const { return ok_; }

  // Bytes received, 0 at the end, -1 on failure or time-out.
  long receive(char* buffer, std::size_t size) {
    if (ssl_) return SSL_read(ssl_.get(), buffer, static_cast<int>(size));
    return ::recv(fd_, buffer, size, 0);
  }

  bool sendAll(std::string_view bytes) {
    while (!bytes.empty()) {
      const long sent = ssl_ ? SSL_write(ssl_.get(), bytes.data(), static_cast<int>(bytes.size()))
                             : ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
  }

  // Whether the peer has closed (or sent something), waiting up to `ms`.
  bool peerActive(int ms) {
    pollfd pfd{fd_, POLLIN, 0};
    return ::poll(&pfd, 1, ms) > 0;
  }

  void abortiveClose() {
    const linger hard{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    reset_ = true;
  }

 private:
  int fd_;
  std::unique_ptr<SSL, SslDeleter> ssl_;
  bool ok_ = true;
  bool reset_ = false;
};

// The request's head and, by its Content-Length, its body; empty when none came.
std::string readRequest(Channel& channel) {
  std::string request;
  char buffer[16384];
  std::size_t headEnd = std::string::npos;
  while ((headEnd = request.find("\r\n\r\n")) == std::string::npos) {
    const long got = channel.receive(buffer, sizeof buffer);
    if (got <= 0 || request.size() > kRequestLimit) return request;
    request.append(buffer, static_cast<std::size_t>(got));
  }
  std::size_t length = 0;
  const std::size_t field = request.find("\r\nContent-Length:");
  if (field != std::string::npos && field < headEnd)
    length = std::stoul(request.substr(field + 17));
  while (request.size() < headEnd + 4 + length && request.size() <= kRequestLimit) {
    const long got = channel.receive(buffer, sizeof buffer);
    if (got <= 0) break;
    request.append(buffer, static_cast<std::size_t>(got));
  }
  return request;
}

bool run(Channel& channel, const HttpReply::Step& step, const std::atomic<bool>& stopping) {
  using Kind = HttpReply::Step::Kind;
  switch (step.kind) {
    case Kind::Send:
      return channel.sendAll(step.bytes);
    case Kind::Repeat:
      for (std::size_t i = 0; i < step.times && !stopping; ++i) {
        if (!channel.sendAll(step.bytes)) return false;
      }
      return true;
    case Kind::Pause:
      std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
      return true;
    case Kind::Reset:
      channel.abortiveClose();
      return false;
    case Kind::Stall: {
      const auto end = Clock::now() + kStallLimit;
      while (!stopping && Clock::now() < end && !channel.peerActive(50)) {
      }
      return false;
    }
    case Kind::EndlessHeaders: {
      const std::string line = "X-Filler: " + std::string(1000, 'x') + "\r\n";
      for (std::size_t sent = 0; sent < kEndlessLimit && !stopping; sent += line.size()) {
        if (!channel.sendAll(line)) break;
      }
      return false;
    }
  }
  return false;
}

// Reads and drops whatever the client sends until it goes away.
void holdSilently(int fd, const std::atomic<bool>& stopping) {
  const auto end = Clock::now() + kStallLimit;
  char buffer[4096];
  while (!stopping && Clock::now() < end) {
    pollfd pfd{fd, POLLIN, 0};
    if (::poll(&pfd, 1, 50) > 0 && ::recv(fd, buffer, sizeof buffer, 0) <= 0) break;
  }
  ::close(fd);
}

}  // namespace

struct HttpTestServer::Tls {
  std::unique_ptr<SSL_CTX, SslCtxDeleter> ctx;
};

HttpTestServer::HttpTestServer(const TlsTestFiles* tls) {
  if (tls != nullptr) {
    // OpenSSL writes with write(), so a client that hangs up during the handshake (one that
    // refuses the certificate) would end the whole test program with SIGPIPE; libcurl only
    // ignores the signal while one of its own calls runs.
    std::signal(SIGPIPE, SIG_IGN);
    tls_ = std::make_unique<Tls>();
    tls_->ctx.reset(SSL_CTX_new(TLS_server_method()));
    if (!tls_->ctx ||
        SSL_CTX_use_certificate_chain_file(tls_->ctx.get(), tls->certFile().c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(tls_->ctx.get(), tls->keyFile().c_str(), SSL_FILETYPE_PEM) !=
            1) {
      throw std::runtime_error("cannot load the test server certificate");
    }
  }
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listenFd_, 64) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listenFd_ >= 0) ::close(listenFd_);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { acceptLoop(); });
}

HttpTestServer::~HttpTestServer() {
  stopping_ = true;
  acceptor_.join();
  for (std::thread& connection : connections_) connection.join();
  ::close(listenFd_);
}

std::string HttpTestServer::url(std::string_view path) const {
  return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) +
         std::string(path);
}

void HttpTestServer::route(const std::string& path, HttpReply reply) {
  const std::lock_guard lock(mutex_);
  routes_[path] = std::move(reply);
}

std::vector<std::string> HttpTestServer::requests() const {
  const std::lock_guard lock(mutex_);
  return requests_;
}

void HttpTestServer::acceptLoop() {
  const auto end = Clock::now() + kServerLifetime;
  while (!stopping_ && Clock::now() < end) {
    pollfd pfd{listenFd_, POLLIN, 0};
    if (::poll(&pfd, 1, 50) <= 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    const std::lock_guard lock(mutex_);
    connections_.emplace_back([this, fd] { serve(fd); });
  }
}

HttpReply HttpTestServer::replyFor(const std::string& request) const {
  const std::size_t start = request.find(' ') + 1;
  const std::size_t end = request.find_first_of(" ?", start);
  const std::string path = request.substr(start, end - start);
  const auto found = routes_.find(path);
  return found != routes_.end() ? found->second
                                : HttpReply::status(404, "Not Found", {}, "no such page");
}

void HttpTestServer::serve(int fd) {
  if (silent_) {
    holdSilently(fd, stopping_);
    return;
  }
  Channel channel(fd, tls_ ? tls_->ctx.get() : nullptr);
  if (!channel.ok()) return;
  const std::string request = readRequest(channel);
  if (request.find(' ') == std::string::npos) return;
  HttpReply reply;
  {
    const std::lock_guard lock(mutex_);
    requests_.push_back(request);
    reply = replyFor(request);
  }
  const auto end = Clock::now() + kConnectionLifetime;
  for (const HttpReply::Step& step : reply.steps()) {
    if (stopping_ || Clock::now() > end || !run(channel, step, stopping_)) return;
  }
}

}  // namespace testSupport
