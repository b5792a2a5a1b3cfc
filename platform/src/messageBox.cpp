#include "platform/src/messageBox.h"

#include <unistd.h>

#include <mutex>
#include <utility>

#include "platform/src/utf8.h"

namespace platform {
namespace {

std::mutex& handlerMutex() {
  static std::mutex m;
  return m;
}

MessageBoxHandler& currentHandler() {
  static MessageBoxHandler handler;
  return handler;
}

void writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace

MessageAnswer defaultMessageBox(const std::wstring& caption, const std::wstring& text) {
  writeAll(STDERR_FILENO, toUtf8(caption) + ": " + toUtf8(text) + "\n");
  return MessageAnswer::Ok;
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(handlerMutex());
  return std::exchange(currentHandler(), std::move(handler));
}

MessageAnswer messageBox(const std::wstring& caption, const std::wstring& text,
                         MessageButtons buttons, MessageIcon icon) {
  MessageBoxHandler handler;
  {
    std::lock_guard lock(handlerMutex());
    handler = currentHandler();
  }
  if (!handler) return defaultMessageBox(caption, text);
  return handler(caption, text, buttons, icon);
}

}  // namespace platform
