#pragma once

#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

namespace misc {

// The exception base of the library. The wide message is complete; `what()` is its UTF-8
// form cut to at most 255 bytes, never inside a character. Module exceptions derive from
// it and add only their type.
class wruntime_error : public std::runtime_error {
 public:
  explicit wruntime_error(const std::wstring& message);

  const std::wstring& wideMessage() const noexcept { return *message_; }

 private:
  std::shared_ptr<const std::wstring> message_;  // shared: copying must not throw
};

// The UTF-8 form of `message` cut to at most `maxBytes` bytes at a character boundary.
std::string truncatedUtf8(const std::wstring& message, std::size_t maxBytes);

// The message to show for any exception: the wide message of a wruntime_error, else what().
std::wstring exceptionText(const std::exception& e);

}  // namespace misc
