// The seam over platform::inet: each operation forwards to the layer's own.
#include "net/src/internetApi.h"

#include "platform/inet/src/ftpFile.h"
#include "platform/inet/src/request.h"
#include "platform/inet/src/session.h"

namespace net::internal {
namespace {

namespace inet = platform::inet;

// The parts every handle shares, over the layer's handle of type T.
template <class Interface, class T>
class Forwarding : public Interface {
 public:
  explicit Forwarding(std::unique_ptr<T> handle) : handle_(std::move(handle)) {}
  std::uint32_t id() const override { return handle_->id(); }
  bool setOption(std::uint32_t option, std::uint32_t value) override {
    return handle_->setOption(option, value);
  }
  bool setOption(std::uint32_t option, const std::wstring& value) override {
    return handle_->setOption(option, value);
  }

 protected:
  T& handle() const { return *handle_; }

 private:
  std::unique_ptr<T> handle_;
};

// Null stays null: the layer's last error says why.
template <class Interface, class Wrapper, class T>
std::unique_ptr<Interface> wrapAs(std::unique_ptr<T> handle) {
  if (!handle) return nullptr;
  return std::make_unique<Wrapper>(std::move(handle));
}

class RealRequest : public Forwarding<RequestHandle, inet::Request> {
 public:
  using Forwarding::Forwarding;
  bool addRequestHeaders(const std::wstring& headers, std::uint32_t modifiers) override {
    return handle().addRequestHeaders(headers, modifiers);
  }
  bool setAbortCheck(std::function<bool()> check) override {
    return handle().setAbortCheck(std::move(check));
  }
  bool setReceiveBlock(std::size_t bytes) override { return handle().setReceiveBlock(bytes); }
  bool send(const void* body, std::size_t bodySize) override {
    return handle().send(body, bodySize);
  }
  bool queryInfo(std::uint32_t query, std::wstring& value, std::size_t bufferChars) const override {
    return handle().queryInfo(query, value, bufferChars);
  }
  bool queryInfoNumber(std::uint32_t query, std::uint32_t& value) const override {
    return handle().queryInfoNumber(query, value);
  }
  bool read(void* buffer, std::size_t size, std::size_t& bytesRead) override {
    return handle().read(buffer, size, bytesRead);
  }
  bool read(const std::function<void(std::string_view)>& sink, std::size_t& bytesRead) override {
    return handle().read(sink, bytesRead);
  }
};

class RealFtpFile : public Forwarding<FtpFileHandle, inet::FtpFile> {
 public:
  using Forwarding::Forwarding;
  bool read(void* buffer, std::size_t size, std::size_t& bytesRead) override {
    return handle().read(buffer, size, bytesRead);
  }
  bool write(const void* data, std::size_t size, std::size_t& written) override {
    return handle().write(data, size, written);
  }
  bool close() override { return handle().close(); }
};

class RealConnection : public Forwarding<ConnectionHandle, inet::Connection> {
 public:
  using Forwarding::Forwarding;
  std::unique_ptr<RequestHandle> openRequest(const std::wstring& verb,
                                             const std::wstring& objectName,
                                             const std::wstring& version, std::uint32_t flags,
                                             std::uintptr_t context) override {
    return wrapAs<RequestHandle, RealRequest>(
        handle().openRequest(verb, objectName, version, flags, context));
  }
  bool ftpFindFile(const std::wstring& path, std::uint32_t flags,
                   inet::FtpFindData& found) override {
    return handle().ftpFindFile(path, flags, found);
  }
  std::unique_ptr<FtpFileHandle> ftpOpenFile(const std::wstring& path, std::uint32_t access,
                                             std::uint32_t flags, std::uintptr_t context) override {
    return wrapAs<FtpFileHandle, RealFtpFile>(handle().ftpOpenFile(path, access, flags, context));
  }
};

class RealSession : public Forwarding<SessionHandle, inet::Session> {
 public:
  using Forwarding::Forwarding;
  bool isAsync() const override { return handle().isAsync(); }
  void setStatusCallback(inet::StatusCallback callback) override {
    handle().setStatusCallback(std::move(callback));
  }
  std::unique_ptr<ConnectionHandle> connect(const std::wstring& host, std::uint16_t port,
                                            const std::wstring& userName,
                                            const std::optional<std::wstring>& password,
                                            std::uint32_t service, std::uint32_t flags,
                                            std::uintptr_t context) override {
    return wrapAs<ConnectionHandle, RealConnection>(
        handle().connect(host, port, userName, password, service, flags, context));
  }
};

class RealInternetApi : public InternetApi {
 public:
  std::unique_ptr<SessionHandle> openSession(const std::wstring& userAgent,
                                             std::uint32_t flags) override {
    return wrapAs<SessionHandle, RealSession>(inet::Session::open(userAgent, flags));
  }
};

}  // namespace

InternetApi& realInternetApi() {
  static RealInternetApi api;  // keeps no state, so its destruction at exit harms nothing
  return api;
}

}  // namespace net::internal
