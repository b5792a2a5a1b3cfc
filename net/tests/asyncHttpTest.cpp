// The transfer state machine and the request pool over the scripted Internet: statuses,
// redirects, retries, the end of a body, and the asynchronous mode.
#include "net/src/asyncHttp.h"

#include "net/src/asyncHttpPool.h"
#include "net/src/httpGetRequest.h"
#include "net/src/msgGroups.h"
#include "net/tests/logCapture.h"
#include "net/tests/netFixture.h"
#include "win32tools/src/errorText.h"

namespace net {
namespace {

namespace inet = platform::inet;
using test::failure;
using test::FakeAnswer;
using test::FakeRead;
using test::ok;
using test::status;
using test::text;

class AsyncHttpTest : public test::NetFixture {};

}  // namespace

TEST_F(AsyncHttpTest, AnythingBut200FailsTheDownloadAfterAWholeTransfer) {
  struct Case {
    FakeAnswer answer;
    std::wstring message;
  } cases[] = {
      {ok({"<html>", "page</html>"}), L""},
      {status(304, L"Not Modified"), L"Download failed: 304 Not Modified"},
      {status(404, L"Not Found"), L"Download failed: 404 Not Found"},
      {status(500, L"Internal Server Error"), L"Download failed: 500 Internal Server Error"},
      {status(302, L"Found"), L"Download failed: 302 Found"},  // no Location: no redirect
  };
  for (Case& c : cases) {
    c.answer.reads.push_back({"error page"});
    const std::wstring target = L"h/" + std::to_wstring(c.answer.status);
    fake.answer(target, c.answer);
    ByteVector body = {'o', 'l', 'd'};
    EXPECT_EQ(download(L"http://" + target, body), c.message);
    if (c.message.empty()) {
      EXPECT_EQ(text(body), "<html>page</html>error page");
    }
  }
  // A 304 is done without reading; a 302 without Location comes back as it is.
  HttpGetRequest request(L"http://h/302");
  const auto response = connection.doHttpRequest(request);
  std::wstring target;
  bool permanent = false;
  EXPECT_EQ(response->getStatusCode(), 302);
  EXPECT_FALSE(response->getRedirect(target, permanent));
  HttpGetRequest notModified(L"http://h/304");
  EXPECT_TRUE(connection.doHttpRequest(notModified)->getData()->empty());
}

TEST_F(AsyncHttpTest, ThePoolFollowsFiveRedirectsAndRefusesTheSixth) {
  for (int chain : {5, 6}) {
    const std::wstring host = L"c" + std::to_wstring(chain);
    for (int i = 0; i < chain; ++i) {
      fake.answer(host + L"/r" + std::to_wstring(i),
                  status(i == 1 ? 301 : 302, L"Moved", L"/r" + std::to_wstring(i + 1)));
    }
    fake.answer(host + L"/r" + std::to_wstring(chain), ok({"final"}));
    HttpGetRequest request(L"http://" + host + L"/r0");
    const std::wstring message = failure([&] {
      const auto response = connection.doHttpRequest(request);
      std::wstring target;
      bool permanent = false;
      ASSERT_TRUE(response->getRedirect(target, permanent));
      EXPECT_EQ(target, L"http://c5/r5") << "the last absolute target";
      EXPECT_TRUE(permanent) << "one step was a 301";
      EXPECT_EQ(text(*response->getData()), "final");
    });
    EXPECT_EQ(message, chain == 5 ? L"" : L"Too many redirects.");
  }
  EXPECT_EQ(fake.sent().size(), 6u + 6u);
}

TEST_F(AsyncHttpTest, RelativeLocationsResolveFromSchemeHostAndPortOfWhatWasFetched) {
  fake.answer(L"h/dir/page", status(302, L"Found", L"next.html"));
  fake.answer(L"h/next.html", status(303, L"See Other", L"http://other/x"));
  fake.answer(L"other/x", status(307, L"Temporary", L"last?y=1"));
  fake.answer(L"other/last?y=1", ok({"done"}));
  ByteVector body;
  EXPECT_EQ(download(L"http://h:8080/dir/page", body), L"");
  EXPECT_EQ(text(body), "done");
  const auto sent = fake.sent();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[1].object, L"/next.html") << "below the root, not below /dir/";
  EXPECT_EQ(sent[1].port, 8080);
  EXPECT_EQ(sent[3].host + sent[3].object, L"other/last?y=1") << "the server redirected to";
  EXPECT_EQ(sent[3].port, 80);
}

TEST_F(AsyncHttpTest, RetryableEndingsAreRepeatedTwiceThenReported) {
  FakeAnswer badState = ok({"partial"});
  badState.reads.push_back({"", true, inet::ERROR_INTERNET_INCORRECT_HANDLE_STATE});
  fake.answer(L"h/always", badState);
  FakeAnswer noCode = badState;
  noCode.reads.back().error = 0;
  fake.answer(L"h/once", noCode);
  fake.answer(L"h/once", ok({"second try"}));
  FakeAnswer reset = ok({"x"});
  reset.reads.push_back({"", true, inet::ERROR_INTERNET_CONNECTION_RESET});
  fake.answer(L"h/reset", reset);

  test::LogCapture log({&internal::asyncHttpAutoRetryGroup()});
  ByteVector body;
  EXPECT_EQ(download(L"http://h/always", body),
            win32tools::win32ErrorText(inet::ERROR_INTERNET_INCORRECT_HANDLE_STATE));
  EXPECT_EQ(fake.sent().size(), 3u);
  EXPECT_TRUE(log.contains(L"Auto-retrying AsyncHttp (1/2): GET http://h/always ("));
  EXPECT_TRUE(log.contains(L"Auto-retrying AsyncHttp (2/2)"));
  EXPECT_FALSE(log.contains(L"(3/2)"));
  EXPECT_EQ(download(L"http://h/once", body), L"");
  EXPECT_EQ(text(body), "second try");
  EXPECT_EQ(fake.sent().size(), 5u);
  EXPECT_EQ(download(L"http://h/reset", body),
            L"Can't read the response data: " +
                win32tools::win32ErrorText(inet::ERROR_INTERNET_CONNECTION_RESET));
  EXPECT_EQ(fake.sent().size(), 6u) << "not retryable";

  FakeAnswer refused;
  refused.sendError = inet::ERROR_INTERNET_CANNOT_CONNECT;
  fake.answer(L"h/refused", refused);
  EXPECT_EQ(download(L"http://h/refused", body),
            win32tools::win32ErrorText(inet::ERROR_INTERNET_CANNOT_CONNECT));
  EXPECT_EQ(fake.sent().size(), 7u) << "a send refused at once is not repeated";
}

TEST_F(AsyncHttpTest, OneNulByteAfterTheServerClosedEndsTheBody) {
  const struct {
    std::vector<FakeRead> reads;
    std::string body;
  } cases[] = {
      {{{"abc"}, {std::string(1, '\0'), false, 0, false, true}}, "abc"},
      {{{"abc"}, {std::string(1, '\0')}}, std::string("abc\0", 4)},
      {{{"abc", false, 0, false, true}, {std::string(2, '\0')}}, std::string("abc\0\0", 5)},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::wstring target = L"h/" + std::to_wstring(n++);
    FakeAnswer answer;
    answer.reads = c.reads;
    fake.answer(target, answer);
    ByteVector body;
    EXPECT_EQ(download(L"http://" + target, body), L"");
    EXPECT_EQ(text(body), c.body);
  }
}

TEST_F(AsyncHttpTest, AsynchronousTransfersInOnePoolFinishInTheOrderTheyComplete) {
  reopen(true);
  FakeAnswer closing = ok({"first"});
  closing.reads.push_back({"-last", false, 0, true, true});  // closed, then a read waits
  fake.answer(L"h/0", closing);
  fake.answer(L"h/1", ok({"one"}));
  FakeAnswer lost;
  lost.completionError = inet::ERROR_INTERNET_CONNECTION_ABORTED;
  fake.answer(L"h/2", lost);
  fake.answer(L"h/2", ok({"two"}));

  std::vector<std::unique_ptr<HttpGetRequest>> requests;
  std::vector<std::unique_ptr<AsyncHttp>> transfers;
  AsyncHttpPool pool;
  for (int i = 0; i < 3; ++i) {
    requests.push_back(std::make_unique<HttpGetRequest>(L"http://h/" + std::to_wstring(i)));
    transfers.push_back(std::make_unique<AsyncHttp>(connection, *requests.back()));
    pool.add(transfers.back().get());
    EXPECT_EQ(transfers.back()->getState(), AsyncHttp::kSent) << "waits for its answer";
  }
  AsyncHttp* finished = nullptr;
  EXPECT_EQ(pool.wait({}, finished, 0), AsyncHttpPool::kTimedOut);

  // The layer completes 2 (with an error the pool retries), then 0, then 1 and 2 again.
  const auto next = [&](const wchar_t* target) {
    EXPECT_TRUE(fake.complete(target)) << target;
    return pool.wait({}, finished, 0);  // complete() returns once the callback has
  };
  EXPECT_EQ(next(L"h/2"), AsyncHttpPool::kTimedOut) << "restarted, so not finished";
  EXPECT_EQ(next(L"h/0"), AsyncHttpPool::kTimedOut) << "its read waits";
  EXPECT_EQ(transfers[0]->getState(), AsyncHttp::kReadingClosed);
  EXPECT_EQ(next(L"h/0"), AsyncHttpPool::kFinished) << "the read after the close completes";
  EXPECT_EQ(finished, transfers[0].get());
  EXPECT_EQ(next(L"h/1"), AsyncHttpPool::kFinished);
  EXPECT_EQ(finished, transfers[1].get());
  EXPECT_EQ(next(L"h/2"), AsyncHttpPool::kFinished);
  EXPECT_EQ(finished, transfers[2].get());
  EXPECT_EQ(pool.wait({}, finished, -1), AsyncHttpPool::kEmpty);

  const char* bodies[] = {"first-last", "one", "two"};
  for (int i = 0; i < 3; ++i) {
    std::wstring message = L"unset";
    EXPECT_TRUE(transfers[i]->isFinished(&message, nullptr));
    EXPECT_EQ(message, L"");
    EXPECT_EQ(text(*transfers[i]->takeResponse()->getData()), bodies[i]);
  }
  EXPECT_EQ(fake.sent().size(), 4u);
}

TEST_F(AsyncHttpTest, WaitReportsExtraEventsAndTimeOuts) {
  AsyncHttpPool pool;
  AsyncHttp* finished = nullptr;
  platform::Event quiet(platform::Event::Reset::Manual), set(platform::Event::Reset::Manual, true);
  platform::Event* extra[] = {&quiet, &set};
  std::size_t index = 99;
  EXPECT_EQ(pool.wait(extra, finished, -1, &index), AsyncHttpPool::kExtraEvent);
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(pool.wait(std::span<platform::Event* const>(extra, 1), finished, 0.05),
            AsyncHttpPool::kTimedOut);
  EXPECT_EQ(finished, nullptr);
}

TEST_F(AsyncHttpTest, ACancelledOrShutDownTransferEndsWithItsMessage) {
  reopen(true);
  fake.answer(L"h/a", ok({"a"}));
  HttpGetRequest request(L"http://h/a");
  AsyncHttp http(connection, request);
  AsyncHttpPool pool;
  pool.add(&http);
  http.cancel();
  AsyncHttp* finished = nullptr;
  ASSERT_EQ(pool.wait({}, finished, 5), AsyncHttpPool::kFinished);
  std::wstring message;
  http.isFinished(&message, nullptr);
  EXPECT_EQ(message, L"The download was cancelled.");
  EXPECT_TRUE(fake.complete()) << "the late completion of the closed request";
  EXPECT_EQ(http.getState(), AsyncHttp::kEnded);

  reopen();
  platform::Event shutdown(platform::Event::Reset::Manual, true);
  networkSettings().shutdownEvent = &shutdown;
  ByteVector body;
  EXPECT_EQ(download(L"http://h/a", body), L"Shutting down.");
}

}  // namespace net
