// An asynchronous session: sends and reads that cannot finish at once are pending, and the
// session's thread reports their completion.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/inet/tests/openedRequest.h"
#include "platform/src/thread.h"
#include "testSupport/src/httpTestServer.h"

namespace {

using namespace inetTest;
using testSupport::HttpReply;
using testSupport::HttpTestServer;

// Drives several requests as their completions arrive, reading inside the callback.
struct Driver {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<OpenedRequest> requests;
  std::vector<std::string> bodies;
  std::vector<int> finished;  // request indexes, in the order their bodies ended
  std::vector<std::uint32_t> errors;
  bool otherThreadOnly = true;
  std::thread::id testThread = std::this_thread::get_id();

  void onStatus(const StatusInfo& info) {
    const std::lock_guard lock(mutex);
    otherThreadOnly = otherThreadOnly && std::this_thread::get_id() != testThread;
    if (info.status != INTERNET_STATUS_REQUEST_COMPLETE) return;
    const int index = static_cast<int>(info.context) - 1;
    if (info.error != 0) return finish(index, info.error);
    char buffer[4096];
    for (;;) {
      std::size_t got = 0;
      if (!requests.at(index).request->read(buffer, sizeof buffer, got)) {
        if (platform::getLastError() != ERROR_IO_PENDING) finish(index, platform::getLastError());
        return;
      }
      if (got == 0) return finish(index, 0);
      bodies.at(index).append(buffer, got);
    }
  }

  void finish(int index, std::uint32_t error) {
    finished.push_back(index);
    errors.at(index) = error;
    changed.notify_all();
  }
};

TEST(InetAsync, PendingRequestsCompleteFromTheSessionThreadInAnyOrder) {
  HttpTestServer server;
  const std::string big(200000, 'b');
  server.route("/late", HttpReply().send("HTTP/1.0 200 OK\r\n\r\n").pause(900).send("late"));
  server.route("/big", HttpReply::status(200, "OK", {}, big));
  server.route("/middle", HttpReply().pause(400).send("HTTP/1.0 200 OK\r\n\r\nmid"));
  server.route("/missing", HttpReply().send("HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\n"));
  const std::vector<std::string> paths = {"/late", "/big", "/middle", "/missing"};

  auto session = Session::open(L"Tarvo/2.3.5PRO", INTERNET_FLAG_ASYNC);
  ASSERT_TRUE(session->isAsync());
  Driver driver;
  session->setStatusCallback([&](const StatusInfo& info) { driver.onStatus(info); });
  {
    const std::lock_guard lock(driver.mutex);
    for (std::size_t i = 0; i < paths.size(); ++i) {
      driver.requests.push_back(openRequest(*session, server.url(paths[i]), 0, i + 1));
      driver.bodies.emplace_back();
      driver.errors.push_back(~0u);
      ASSERT_FALSE(driver.requests.back().request->send());
      ASSERT_EQ(platform::getLastError(), ERROR_IO_PENDING);
    }
  }
  std::unique_lock lock(driver.mutex);
  ASSERT_TRUE(driver.changed.wait_for(lock, std::chrono::seconds(20),
                                      [&] { return driver.finished.size() == paths.size(); }));
  EXPECT_TRUE(driver.otherThreadOnly);
  EXPECT_EQ(driver.finished.back(), 0) << "the late body ends last";
  EXPECT_EQ(driver.bodies, (std::vector<std::string>{"late", big, "mid", ""}));
  EXPECT_EQ(driver.errors,
            (std::vector<std::uint32_t>{0, 0, 0, ERROR_INTERNET_CONNECTION_ABORTED}));
  lock.unlock();
  // Handles destroyed after their session still fail cleanly.
  session.reset();
  std::size_t got = 0;
  char byte = 0;
  EXPECT_FALSE(driver.requests[0].request->read(&byte, 1, got));
  EXPECT_EQ(platform::getLastError(), ERROR_INVALID_HANDLE);
}

TEST(InetAsync, DestroyingARequestCancelsItsPendingReadAndReportsItsClosingLast) {
  HttpTestServer server;
  server.route("/stall", HttpReply().send("HTTP/1.0 200 OK\r\n\r\n").stall());
  // Declared before the session: its thread may report into them until it is destroyed.
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> statuses;  // status, error
  auto session = Session::open(L"Tarvo/2.3.5PRO", INTERNET_FLAG_ASYNC);
  session->setStatusCallback([&](const StatusInfo& info) {
    const std::lock_guard lock(mutex);
    statuses.emplace_back(info.status, info.error);
    changed.notify_all();
  });
  auto opened = openRequest(*session, server.url("/stall"), 0, 7);
  ASSERT_FALSE(opened.request->send());
  std::unique_lock lock(mutex);
  ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return !statuses.empty(); }));
  lock.unlock();
  char buffer[16];
  std::size_t got = 0;
  EXPECT_FALSE(opened.request->read(buffer, sizeof buffer, got));
  EXPECT_EQ(platform::getLastError(), ERROR_IO_PENDING);
  opened.request.reset();
  lock.lock();
  ASSERT_TRUE(
      changed.wait_for(lock, std::chrono::seconds(10), [&] { return statuses.size() >= 3; }));
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
      {INTERNET_STATUS_REQUEST_COMPLETE, 0},
      {INTERNET_STATUS_REQUEST_COMPLETE, ERROR_INTERNET_OPERATION_CANCELLED},
      {INTERNET_STATUS_HANDLE_CLOSING, 0}};
  EXPECT_EQ(statuses, expected);
}

}  // namespace
