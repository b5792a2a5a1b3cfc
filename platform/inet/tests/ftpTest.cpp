// FTP through the Internet layer against a real FTP server on loopback.
#include <gtest/gtest.h>

#include "platform/inet/src/connection.h"
#include "platform/inet/src/ftpFile.h"
#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/session.h"
#include "platform/src/lastResponseInfo.h"
#include "platform/src/thread.h"
#include "testSupport/src/ftpTestServer.h"

namespace {

using namespace platform::inet;
using testSupport::FtpTestServer;

std::unique_ptr<Connection> logIn(Session& session, const FtpTestServer& server,
                                  const wchar_t* password) {
  return session.connect(L"127.0.0.1", server.port(), L"tester", std::wstring(password),
                         INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0);
}

TEST(InetFtp, PassiveBinaryUploadAndDownloadKeepEveryByte) {
  const FtpTestServer server;
  std::string data;
  for (int i = 0; i < 700000; ++i) data += static_cast<char>((i * 7) % 256);  // CR, LF, NUL too
  auto session = Session::open(L"Tarvo/2.3.5PRO", 0);
  auto connection = logIn(*session, server, L"secret");
  ASSERT_TRUE(connection) << platform::getLastError();

  auto upload = connection->ftpOpenFile(L"/up.bin", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0);
  ASSERT_TRUE(upload) << platform::getLastError();
  for (std::size_t at = 0; at < data.size(); at += 32768) {
    std::size_t written = 0;
    const std::size_t size = std::min<std::size_t>(32768, data.size() - at);
    ASSERT_TRUE(upload->write(data.data() + at, size, written));
    ASSERT_EQ(written, size);
  }
  ASSERT_TRUE(upload->close()) << platform::getLastError();
  EXPECT_EQ(server.root().read("up.bin"), data);

  FtpFindData found;
  ASSERT_TRUE(connection->ftpFindFile(L"/up.bin", INTERNET_FLAG_RELOAD, found));
  EXPECT_EQ(found.fileSize, data.size());
  EXPECT_EQ(found.fileName, L"up.bin");

  auto download = connection->ftpOpenFile(L"/up.bin", GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0);
  ASSERT_TRUE(download) << platform::getLastError();
  std::string received;
  char buffer[32768];
  for (std::size_t got = 1; got > 0;) {
    ASSERT_TRUE(download->read(buffer, sizeof buffer, got));
    received.append(buffer, got);
  }
  EXPECT_EQ(received, data);
}

TEST(InetFtp, RefusalsCarryTheServersReply) {
  const FtpTestServer server;
  auto session = Session::open(L"Tarvo/2.3.5PRO", 0);
  EXPECT_FALSE(logIn(*session, server, L"wrong"));
  EXPECT_EQ(platform::getLastError(), ERROR_INTERNET_INCORRECT_PASSWORD);
  EXPECT_TRUE(platform::lastResponseInfo().starts_with(L"530")) << platform::lastResponseInfo();

  auto connection = logIn(*session, server, L"secret");
  ASSERT_TRUE(connection);
  EXPECT_FALSE(connection->ftpOpenFile(L"/missing.bin", GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0));
  EXPECT_EQ(platform::getLastError(), ERROR_INTERNET_EXTENDED_ERROR);
  EXPECT_TRUE(platform::lastResponseInfo().starts_with(L"550")) << platform::lastResponseInfo();
  FtpFindData found;
  EXPECT_FALSE(connection->ftpFindFile(L"/missing.bin", 0, found));
  EXPECT_EQ(platform::getLastError(), ERROR_NO_MORE_FILES);
}

}  // namespace
