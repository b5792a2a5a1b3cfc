#pragma once
// A scripted Internet layer for the network module's tests: no sockets, every answer and
// every read outcome given by the test, every call recorded; HTTP only. Synchronous sessions answer
// at once; asynchronous ones queue each completion until the test delivers it with complete(), from
// a thread of its own as the real layer's thread would.

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "net/src/internetApi.h"

namespace net::test {

struct FakeRead {
  std::string bytes;   // what one read hands over (at most the size asked for)
  bool fails = false;  // the read fails with `error` instead (which may be 0)
  std::uint32_t error = 0;
  bool pending = false;       // asynchronous: first ERROR_IO_PENDING, answered once completed
  bool closedBefore = false;  // INTERNET_STATUS_CONNECTION_CLOSED comes first
};

struct FakeAnswer {
  std::uint32_t sendError = 0;        // the send fails at once with this code
  std::uint32_t completionError = 0;  // asynchronous: the send completes with this code
  std::uint32_t status = 200;
  std::wstring statusText = L"OK";
  std::map<std::uint32_t, std::wstring> headers;  // by HTTP_QUERY_* code
  std::vector<FakeRead> reads;                    // then the end of the body
};

// One request as it was sent.
struct FakeSent {
  std::wstring host;
  std::uint16_t port = 0;
  std::wstring verb, object, version;
  std::uint32_t flags = 0;
  std::vector<std::wstring> headers;
  std::string body;
};

class FakeInternet : public internal::InternetApi {
 public:
  FakeInternet();
  ~FakeInternet() override;

  // Answers for requests to `target` ("host/object", e.g. L"h/page?x"), used in turn; the
  // last one repeats. A target without answers gets 404.
  void answer(const std::wstring& target, FakeAnswer answer);
  // Delivers the oldest queued asynchronous completion of `target` ("" : of any target) on
  // another thread and returns once its callback has returned; false when none is queued.
  bool complete(const std::wstring& target = L"");
  std::size_t queuedCompletions() const;

  // HTTP and FTP connects fail with this code.
  std::uint32_t connectError = 0;
  // setOption of these options fails with ERROR_INTERNET_INVALID_OPTION.
  std::vector<std::uint32_t> refusedOptions;

  std::vector<FakeSent> sent() const;
  // "session agent flags", then "<kind> option=value" for every option set, in order.
  std::vector<std::wstring> calls() const;

  std::unique_ptr<internal::SessionHandle> openSession(const std::wstring& userAgent,
                                                       std::uint32_t flags) override;

  // Used by the fake's handles.
  struct Completion {
    std::wstring target;
    std::uint32_t handle;
    std::uintptr_t context;
    std::uint32_t error;
  };
  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace net::test
