#include "win32tools/src/errorText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <thread>

#include "platform/src/errorSpace.h"
#include "platform/src/lastResponseInfo.h"
#include "platform/src/thread.h"
#include "win32tools/src/errorTables.h"
#include "win32tools/src/istring.h"

namespace win32tools {
namespace {

std::wstring tableText(int id) {
  return internal::istring(id);
}

std::size_t rows(const internal::ErrorTableRow* table) {
  std::size_t n = 0;
  while (table[n].code != 0) ++n;
  return n;
}

}  // namespace

TEST(ErrorTextTest, SystemTextFirstThenTheTablesThenTheHexadecimalFallback) {
  using platform::ownCode;
  const struct {
    std::uint32_t code;
    std::wstring text;
    const char* why;
  } rows[] = {
      {ENOENT, L"No such file or directory", "system text"},
      {ECONNREFUSED, L"Connection refused", "system text"},
      {6, L"No such device or address", "unmarked, it is ENXIO"},
      {ownCode(6), L"The handle is invalid.", "marked, it is ERROR_INVALID_HANDLE"},
      {ownCode(18), L"There are no more files.", "not EXDEV"},
      {ownCode(8), L"WIN32 error 00000008", "not ENOEXEC, and no row"},
      {ownCode(122), L"WIN32 error 0000007A", "not EDQUOT, and no row"},
      {ownCode(12002), L"The request timed out.", "a marked WinINet code"},
      {ownCode(0x10001), L"Too many redirects.", "the Internet layer's own"},
      {ownCode(0x10002), L"The server's reply is not HTTP.", "the Internet layer's own"},
      {0x10001, L"WIN32 error 00010001", "own numbers need the mark"},
      {10060, tableText(11258), "WSAETIMEDOUT"},
      {10060, L"The connection attempt failed because the remote host did not respond in time.",
       "WSAETIMEDOUT"},
      {10004, L"A blocking operation was interrupted by a call to WSACancelBlockingCall.", ""},
      {12005, L"The URL is invalid.", "ERROR_INTERNET_INVALID_URL"},
      {12056, L"ERROR_INTERNET_SEC_CERT_NO_REV", ""},
      {12057, L"ERROR_INTERNET_SEC_CERT_REV_FAILED", ""},
      {259, tableText(11379), "ERROR_NO_MORE_ITEMS, no errno 259"},
      {0xDEADBEEF, L"WIN32 error DEADBEEF", "unknown"},
      {0, L"WIN32 error 00000000", "unknown"},
      {11274, L"WIN32 error 00002C0A", "ids are not codes"},
      {10102, L"WIN32 error 00002776", "texts no row uses"},
  };
  for (const auto& row : rows) EXPECT_EQ(win32ErrorText(row.code), row.text) << row.why;
}

TEST(ErrorTextTest, ExtendedErrorIsTheThreadsLastResponseAndNeverATableText) {
  platform::setLastResponseInfo(L"");
  EXPECT_EQ(win32ErrorText(12003), L"");
  platform::setLastResponseInfo(L"550 No such file.");
  EXPECT_EQ(win32ErrorText(12003), L"550 No such file.");
  std::wstring otherThread = L"unset";
  std::thread([&] { otherThread = win32ErrorText(12003); }).join();
  EXPECT_EQ(otherThread, L"");
  platform::setLastResponseInfo(L"");
}

TEST(ErrorTextTest, LastErrorTextReadsTheThreadsLastError) {
  platform::setLastError(12002);
  EXPECT_EQ(lastErrorText(), L"The request timed out.");
  platform::setLastError(0);
  EXPECT_EQ(lastErrorText(), L"WIN32 error 00000000");
}

TEST(ErrorTextTest, TablesHaveTheirRowsAndConsecutiveIdsWithTexts) {
  struct Table {
    const internal::ErrorTableRow* rows;
    std::size_t count;
    int firstId;
  };
  for (const Table& t :
       {Table{internal::kWinSockErrors, 47, 11227}, Table{internal::kWinInetErrors, 95, 11285},
        Table{internal::kOwnErrors, 2, 11380}}) {
    ASSERT_EQ(rows(t.rows), t.count);
    std::set<std::uint32_t> codes;
    for (std::size_t i = 0; i < t.count; ++i) {
      EXPECT_EQ(t.rows[i].stringId, t.firstId + static_cast<int>(i));
      EXPECT_TRUE(codes.insert(t.rows[i].code).second) << "repeated code " << t.rows[i].code;
      EXPECT_FALSE(tableText(t.rows[i].stringId).empty()) << t.rows[i].stringId;
    }
  }
  for (int id = 11274; id <= 11284; ++id) EXPECT_FALSE(tableText(id).empty()) << id;
}

}  // namespace win32tools
