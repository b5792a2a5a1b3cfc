#include "testSupport/src/ftpTestServer.h"

#include <chrono>
#include <stdexcept>
#include <thread>

namespace testSupport {
namespace {

// Binds port 0, writes the port it got once it listens, and serves until its time is up.
constexpr const char* kScript = R"(
import os, sys, time
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
user, password, root, portFile = sys.argv[1:5]
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
FTPHandler.authorizer = authorizer
FTPHandler.auth_failed_timeout = 0
server = FTPServer(("127.0.0.1", 0), FTPHandler)
with open(portFile + ".tmp", "w") as f:
    f.write(str(server.socket.getsockname()[1]))
os.rename(portFile + ".tmp", portFile)
end = time.monotonic() + 600
while time.monotonic() < end:
    server.serve_forever(timeout=0.2, blocking=False)
server.close_all()
)";

}  // namespace

FtpTestServer::FtpTestServer() {
  control_.write("server.py", kScript);
  const std::string portFile = control_.file("port");
  // Debian's interpreter, which sees Debian's pyftpdlib whatever python3 PATH finds first.
  if (!server_.start({"/usr/bin/python3", control_.file("server.py"), kUser, kPassword,
                      root_.path(), portFile},
                     -1, -1, "")) {
    throw std::runtime_error("cannot start /usr/bin/python3");
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < end) {
    const std::string text = readBytes(portFile);
    if (!text.empty()) {
      port_ = static_cast<std::uint16_t>(std::stoul(text));
      return;
    }
    if (server_.wait(50, nullptr) == platform::ChildProcess::WaitResult::Exited) break;
  }
  server_.killAll();
  throw std::runtime_error("the FTP test server did not start (is python3-pyftpdlib there?)");
}

FtpTestServer::~FtpTestServer() {
  server_.killAll();
}

}  // namespace testSupport
