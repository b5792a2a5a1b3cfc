#include "platform/inet/src/handle.h"

#include <atomic>

#include "platform/inet/src/failure.h"
#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/sessionCore.h"
#include "platform/inet/src/sessionLock.h"

namespace platform::inet {
namespace {

constexpr std::uint32_t kDefaultTimeoutMs = 60000;

std::uint32_t nextId() {
  static std::atomic<std::uint32_t> last{0};
  std::uint32_t id = ++last;
  while (id == 0) id = ++last;
  return id;
}

// Templates, so that a const handle gets const slots.
template <typename Options>
auto numberSlot(Options& options, std::uint32_t option) -> decltype(&options.connectTimeoutMs) {
  switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT:
      return &options.connectTimeoutMs;
    case INTERNET_OPTION_CONNECT_RETRIES:
      return &options.connectRetries;
    case INTERNET_OPTION_SEND_TIMEOUT:
      return &options.sendTimeoutMs;
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
      return &options.receiveTimeoutMs;
    case INTERNET_OPTION_READ_BUFFER_SIZE:
      return &options.readBufferSize;
    case INTERNET_OPTION_WRITE_BUFFER_SIZE:
      return &options.writeBufferSize;
    case INTERNET_OPTION_FROM_CACHE_TIMEOUT:
      return &options.fromCacheTimeout;
    default:
      return nullptr;
  }
}

template <typename Options>
auto textSlot(Options& options, std::uint32_t option) -> decltype(&options.proxyUserName) {
  switch (option) {
    case INTERNET_OPTION_PROXY_USERNAME:
      return &options.proxyUserName;
    case INTERNET_OPTION_PROXY_PASSWORD:
      return &options.proxyPassword;
    default:
      return nullptr;
  }
}

bool isTimeout(std::uint32_t option) {
  return option == INTERNET_OPTION_CONNECT_TIMEOUT || option == INTERNET_OPTION_SEND_TIMEOUT ||
         option == INTERNET_OPTION_RECEIVE_TIMEOUT;
}

// Why an option cannot be used as the other kind: wrong kind, or no such option.
bool failWrongOption(const HandleOptions& options, std::uint32_t option, bool asNumber) {
  const bool otherKind =
      asNumber ? textSlot(options, option) != nullptr : numberSlot(options, option) != nullptr;
  return internal::fail(otherKind ? ERROR_INTERNET_BAD_OPTION_LENGTH
                                  : ERROR_INTERNET_INVALID_OPTION);
}

}  // namespace

Handle::Handle(std::shared_ptr<internal::SessionCore> core, const HandleOptions& inherited,
               std::uintptr_t context)
    : core_(std::move(core)), options_(inherited), id_(nextId()), context_(context) {}

Handle::~Handle() = default;

bool Handle::setOption(std::uint32_t option, std::uint32_t value) {
  const internal::SessionLock lock(*core_);
  if (core_->closed()) return internal::fail(ERROR_INVALID_HANDLE);
  std::uint32_t* slot = numberSlot(options_, option);
  if (slot == nullptr) return failWrongOption(options_, option, true);
  *slot = value;
  return true;
}

bool Handle::setOption(std::uint32_t option, const std::wstring& value) {
  const internal::SessionLock lock(*core_);
  if (core_->closed()) return internal::fail(ERROR_INVALID_HANDLE);
  std::wstring* slot = textSlot(options_, option);
  if (slot == nullptr) return failWrongOption(options_, option, false);
  *slot = value;
  return true;
}

bool Handle::queryOption(std::uint32_t option, std::uint32_t& value) const {
  const internal::SessionLock lock(*core_);
  if (core_->closed()) return internal::fail(ERROR_INVALID_HANDLE);
  const std::uint32_t* slot = numberSlot(options_, option);
  if (slot == nullptr) return failWrongOption(options_, option, true);
  value = *slot == 0 && isTimeout(option) ? kDefaultTimeoutMs : *slot;
  return true;
}

bool Handle::queryOption(std::uint32_t option, std::wstring& value) const {
  const internal::SessionLock lock(*core_);
  if (core_->closed()) return internal::fail(ERROR_INVALID_HANDLE);
  const std::wstring* slot = textSlot(options_, option);
  if (slot == nullptr) return failWrongOption(options_, option, false);
  value = *slot;
  return true;
}

}  // namespace platform::inet
