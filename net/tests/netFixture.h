#pragma once
// What the network tests share: a connection over the scripted Internet with the settings
// restored after each test, answers in one line, a progress recorder, and small helpers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/misc/src/wruntimeError.h"
#include "net/src/internetConn.h"
#include "net/src/networkSettings.h"
#include "net/tests/fakeInternet.h"

namespace net::test {

inline std::string text(const ByteVector& body) {
  return std::string(body.begin(), body.end());
}

// The message of what `action` throws, or "" when it returns.
template <class Action>
std::wstring failure(Action action) {
  try {
    action();
  } catch (const misc::wruntime_error& e) {
    return e.wideMessage();
  }
  return L"";
}

inline FakeAnswer ok(std::vector<std::string> blocks,
                     std::map<std::uint32_t, std::wstring> headers = {}) {
  FakeAnswer answer;
  answer.headers = std::move(headers);
  for (std::string& block : blocks) answer.reads.push_back({std::move(block)});
  return answer;
}

inline FakeAnswer status(std::uint32_t code, std::wstring text, std::wstring location = L"") {
  FakeAnswer answer;
  answer.status = code;
  answer.statusText = std::move(text);
  if (!location.empty()) answer.headers[platform::inet::HTTP_QUERY_LOCATION] = location;
  return answer;
}

// Every report's text; cancels at the report whose text is `cancelAt`.
struct ProgressRecorder {
  std::vector<std::wstring> reports;
  std::wstring cancelAt;

  template <class Request>
  static int record(const misc::CProgress& progress, const Request&, std::uintptr_t context,
                    bool* cancel) {
    auto& self = *reinterpret_cast<ProgressRecorder*>(context);
    self.reports.push_back(progress.getText());
    *cancel = !self.cancelAt.empty() && self.reports.back() == self.cancelAt;
    return 0;
  }
  std::uintptr_t context() { return reinterpret_cast<std::uintptr_t>(this); }
};

class NetFixture : public testing::Test {
 protected:
  NetFixture() {
    networkSettings() = {};
    connection.open(false);
  }
  ~NetFixture() override {
    networkSettings() = {};
    setProxyAuthenticator(nullptr);
  }

  // Settings and the fake's refusals are taken up by a new session only.
  void reopen(bool async = false) {
    connection.close();
    connection.open(async);
  }

  // downloadUrl's failure message ("" on success), the body in `body`.
  std::wstring download(const std::wstring& url, ByteVector& body) {
    return failure([&] { connection.downloadUrl(url, body); });
  }

  FakeInternet fake;
  InternetConn connection{fake};
};

}  // namespace net::test
