#include "platform/src/displayConnection.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>

#include "platform/src/environment.h"
#include "platform/src/fileDescriptor.h"
#include "platform/src/sharedLibrary.h"

namespace platform {

namespace {

// The three calls of the X client library that a check needs, without its headers.
struct XcbConnection;
using XcbConnect = XcbConnection* (*)(const char* display, int* screen);
using XcbHasError = int (*)(XcbConnection* connection);
using XcbDisconnect = void (*)(XcbConnection* connection);

}  // namespace

bool x11DisplayAnswers(const std::string& display) {
  std::string error;
  const auto library = SharedLibrary::openInstalled("libxcb.so.1", error);
  if (!library) return false;
  const auto connect = reinterpret_cast<XcbConnect>(library->symbol("xcb_connect"));
  const auto hasError = reinterpret_cast<XcbHasError>(library->symbol("xcb_connection_has_error"));
  const auto disconnect = reinterpret_cast<XcbDisconnect>(library->symbol("xcb_disconnect"));
  if (!connect || !hasError || !disconnect) return false;
  // Even a failed connection is an object that must be given back.
  XcbConnection* connection = connect(display.c_str(), nullptr);
  const bool answers = connection != nullptr && hasError(connection) == 0;
  if (connection != nullptr) disconnect(connection);
  return answers;
}

bool waylandDisplayAnswers(const std::string& display) {
  if (display.empty()) return false;
  std::string path = display;
  if (path.front() != '/') {
    const auto runtimeDir = environmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDir || runtimeDir->empty()) return false;
    path = *runtimeDir + "/" + display;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  return socket.valid() &&
         ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

}  // namespace platform
