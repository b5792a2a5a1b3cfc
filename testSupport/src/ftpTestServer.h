#pragma once
// A real FTP server (pyftpdlib) on a free port of 127.0.0.1, serving a scratch directory
// to one user with full rights. Started by the constructor, which returns once it listens;
// stopped by the destructor, and by itself after 10 minutes. Linked by test programs only.

#include <cstdint>
#include <string>

#include "platform/src/childProcess.h"
#include "testSupport/src/scratchDir.h"

namespace testSupport {

class FtpTestServer {
 public:
  static constexpr const char* kUser = "tester";
  static constexpr const char* kPassword = "secret";

  // Throws std::runtime_error when the server does not listen within 15 s.
  FtpTestServer();
  ~FtpTestServer();
  FtpTestServer(const FtpTestServer&) = delete;
  FtpTestServer& operator=(const FtpTestServer&) = delete;

  std::uint16_t port() const { return port_; }
  // The directory served as "/".
  const ScratchDir& root() const { return root_; }

 private:
  ScratchDir control_{"pgFtpCtl"};
  ScratchDir root_{"pgFtpRoot"};
  platform::ChildProcess server_;
  std::uint16_t port_ = 0;
};

}  // namespace testSupport
