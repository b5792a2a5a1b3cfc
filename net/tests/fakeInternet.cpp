#include "net/tests/fakeInternet.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/src/thread.h"

namespace net::test {

namespace inet = platform::inet;

struct FakeInternet::State {
  mutable std::mutex mutex;
  std::map<std::wstring, std::deque<FakeAnswer>> answers;
  std::vector<FakeSent> sent;
  std::vector<std::wstring> calls;
  std::deque<Completion> completions;
  inet::StatusCallback callback;
  std::uint32_t nextId = 1;
  const FakeInternet& owner;

  explicit State(const FakeInternet& owner) : owner(owner) {}

  std::uint32_t newId() {
    std::lock_guard lock(mutex);
    return nextId++;
  }
  void record(std::wstring call) {
    std::lock_guard lock(mutex);
    calls.push_back(std::move(call));
  }
  void notify(const inet::StatusInfo& info) {
    inet::StatusCallback callback;
    {
      std::lock_guard lock(mutex);
      callback = this->callback;
    }
    if (callback && info.context != 0) callback(info);
  }
  FakeAnswer take(const std::wstring& target) {
    std::lock_guard lock(mutex);
    auto found = answers.find(target);
    if (found == answers.end() || found->second.empty()) return {0, 0, 404, L"Not Found", {}, {}};
    FakeAnswer next = found->second.front();
    if (found->second.size() > 1) found->second.pop_front();
    return next;
  }
};

namespace {

bool failWith(std::uint32_t code) {
  platform::setLastError(code);
  return false;
}

template <class Interface>
class FakeHandle : public Interface {
 public:
  FakeHandle(FakeInternet::State& state, const wchar_t* kind)
      : state_(state), kind_(kind), id_(state.newId()) {}
  std::uint32_t id() const override { return id_; }
  bool setOption(std::uint32_t option, std::uint32_t value) override {
    return set(option, std::to_wstring(value));
  }
  bool setOption(std::uint32_t option, const std::wstring& value) override {
    return set(option, L"'" + value + L"'");
  }

 protected:
  FakeInternet::State& state_;

 private:
  bool set(std::uint32_t option, const std::wstring& shown) {
    const auto& refused = state_.owner.refusedOptions;
    if (std::find(refused.begin(), refused.end(), option) != refused.end()) {
      return failWith(inet::ERROR_INTERNET_INVALID_OPTION);
    }
    state_.record(std::wstring(kind_) + L" " + std::to_wstring(option) + L"=" + shown);
    return true;
  }

  const wchar_t* kind_;
  std::uint32_t id_;
};

class FakeRequest : public FakeHandle<internal::RequestHandle> {
 public:
  FakeRequest(FakeInternet::State& state, FakeSent sent, std::uintptr_t context, bool async)
      : FakeHandle(state, L"request"),
        sent_(std::move(sent)),
        target_(sent_.host + sent_.object),
        context_(context),
        async_(async) {}

  bool addRequestHeaders(const std::wstring& headers, std::uint32_t) override {
    if (headers.find(L':') == std::wstring::npos) return failWith(inet::ERROR_HTTP_INVALID_HEADER);
    sent_.headers.push_back(headers);
    return true;
  }

  // Scripted answers never wait, so there is nothing to abort.
  bool setAbortCheck(std::function<bool()>) override { return true; }
  // Scripted bodies come in the blocks the script gives.
  bool setReceiveBlock(std::size_t) override { return true; }

  bool send(const void* body, std::size_t bodySize) override {
    if (body != nullptr) sent_.body.assign(static_cast<const char*>(body), bodySize);
    {
      std::lock_guard lock(state_.mutex);
      state_.sent.push_back(sent_);
    }
    answer_ = state_.take(target_);
    if (answer_.sendError != 0) return failWith(answer_.sendError);
    answered_ = true;
    if (!async_) return true;
    queue(answer_.completionError);
    return failWith(inet::ERROR_IO_PENDING);
  }

  bool queryInfo(std::uint32_t query, std::wstring& value, std::size_t bufferChars) const override {
    if (!answered_) return failWith(inet::ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    const auto found = query == inet::HTTP_QUERY_STATUS_TEXT
                           ? std::optional<std::wstring>(answer_.statusText)
                           : header(query);
    if (!found) return failWith(inet::ERROR_HTTP_HEADER_NOT_FOUND);
    if (found->size() >= bufferChars) return failWith(inet::ERROR_INSUFFICIENT_BUFFER);
    value = *found;
    return true;
  }

  bool queryInfoNumber(std::uint32_t query, std::uint32_t& value) const override {
    if (!answered_) return failWith(inet::ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    if (query != (inet::HTTP_QUERY_STATUS_CODE | inet::HTTP_QUERY_FLAG_NUMBER)) {
      return failWith(inet::ERROR_HTTP_INVALID_QUERY_REQUEST);
    }
    value = answer_.status;
    return true;
  }

  bool read(void* buffer, std::size_t size, std::size_t& bytesRead) override {
    bytesRead = 0;
    if (next_ == answer_.reads.size()) return true;
    const FakeRead& step = answer_.reads[next_];
    if (step.closedBefore && !closedReported_) {
      closedReported_ = true;
      state_.notify({id(), context_, inet::INTERNET_STATUS_CONNECTION_CLOSED, 0, 0});
    }
    if (async_ && step.pending && !pended_) {
      pended_ = true;
      queue(0);
      return failWith(inet::ERROR_IO_PENDING);
    }
    if (step.fails) {
      advance();
      return failWith(step.error);
    }
    bytesRead = std::min(size, step.bytes.size() - offset_);
    std::memcpy(buffer, step.bytes.data() + offset_, bytesRead);
    offset_ += bytesRead;
    if (offset_ == step.bytes.size()) advance();
    return true;
  }

  // One scripted block per read, as the real layer hands over what one wait brought.
  bool read(const std::function<void(std::string_view)>& sink, std::size_t& bytesRead) override {
    std::string block(next_ < answer_.reads.size() ? answer_.reads[next_].bytes.size() : 0, '\0');
    if (!read(block.data(), block.size(), bytesRead)) return false;
    if (bytesRead > 0) sink({block.data(), bytesRead});
    return true;
  }

 private:
  std::optional<std::wstring> header(std::uint32_t query) const {
    const auto found = answer_.headers.find(query);
    if (found == answer_.headers.end()) return std::nullopt;
    return found->second;
  }
  void advance() {
    ++next_;
    offset_ = 0;
    pended_ = closedReported_ = false;
  }
  void queue(std::uint32_t error) {
    std::lock_guard lock(state_.mutex);
    state_.completions.push_back({target_, id(), context_, error});
  }

  FakeSent sent_;
  std::wstring target_;
  std::uintptr_t context_;
  bool async_;
  FakeAnswer answer_;
  bool answered_ = false;
  std::size_t next_ = 0, offset_ = 0;
  bool pended_ = false, closedReported_ = false;
};

class FakeConnection : public FakeHandle<internal::ConnectionHandle> {
 public:
  FakeConnection(FakeInternet::State& state, std::wstring host, std::uint16_t port, bool async)
      : FakeHandle(state, L"connection"), host_(std::move(host)), port_(port), async_(async) {}

  std::unique_ptr<internal::RequestHandle> openRequest(const std::wstring& verb,
                                                       const std::wstring& objectName,
                                                       const std::wstring& version,
                                                       std::uint32_t flags,
                                                       std::uintptr_t context) override {
    FakeSent sent{host_, port_, verb, objectName, version, flags, {}, {}};
    return std::make_unique<FakeRequest>(state_, std::move(sent), context, async_);
  }

  // FTP runs against a real server in the end-to-end tests.
  bool ftpFindFile(const std::wstring&, std::uint32_t, inet::FtpFindData&) override {
    return failWith(inet::ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  }
  std::unique_ptr<internal::FtpFileHandle> ftpOpenFile(const std::wstring&, std::uint32_t,
                                                       std::uint32_t, std::uintptr_t) override {
    failWith(inet::ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    return nullptr;
  }

 private:
  std::wstring host_;
  std::uint16_t port_;
  bool async_;
};

class FakeSession : public FakeHandle<internal::SessionHandle> {
 public:
  FakeSession(FakeInternet::State& state, bool async)
      : FakeHandle(state, L"session"), async_(async) {}

  bool isAsync() const override { return async_; }
  void setStatusCallback(inet::StatusCallback callback) override {
    std::lock_guard lock(state_.mutex);
    state_.callback = std::move(callback);
  }
  std::unique_ptr<internal::ConnectionHandle> connect(const std::wstring& host, std::uint16_t port,
                                                      const std::wstring&,
                                                      const std::optional<std::wstring>&,
                                                      std::uint32_t, std::uint32_t,
                                                      std::uintptr_t) override {
    if (state_.owner.connectError != 0) {
      failWith(state_.owner.connectError);
      return nullptr;
    }
    return std::make_unique<FakeConnection>(state_, host, port, async_);
  }

 private:
  bool async_;
};

}  // namespace

FakeInternet::FakeInternet() : state_(std::make_unique<State>(*this)) {}

FakeInternet::~FakeInternet() = default;

void FakeInternet::answer(const std::wstring& target, FakeAnswer answer) {
  std::lock_guard lock(state_->mutex);
  state_->answers[target].push_back(std::move(answer));
}

bool FakeInternet::complete(const std::wstring& target) {
  Completion completion;
  {
    std::lock_guard lock(state_->mutex);
    auto& queue = state_->completions;
    const auto found = std::find_if(queue.begin(), queue.end(), [&](const Completion& c) {
      return target.empty() || c.target == target;
    });
    if (found == queue.end()) return false;
    completion = *found;
    queue.erase(found);
  }
  const inet::StatusInfo info{completion.handle, completion.context,
                              inet::INTERNET_STATUS_REQUEST_COMPLETE,
                              completion.error == 0 ? 1u : 0u, completion.error};
  std::thread([&] { state_->notify(info); }).join();
  return true;
}

std::size_t FakeInternet::queuedCompletions() const {
  std::lock_guard lock(state_->mutex);
  return state_->completions.size();
}

std::vector<FakeSent> FakeInternet::sent() const {
  std::lock_guard lock(state_->mutex);
  return state_->sent;
}

std::vector<std::wstring> FakeInternet::calls() const {
  std::lock_guard lock(state_->mutex);
  return state_->calls;
}

std::unique_ptr<internal::SessionHandle> FakeInternet::openSession(const std::wstring& userAgent,
                                                                   std::uint32_t flags) {
  state_->record(L"session " + userAgent + L" " + std::to_wstring(flags));
  return std::make_unique<FakeSession>(*state_, (flags & inet::INTERNET_FLAG_ASYNC) != 0);
}

}  // namespace net::test
