#include <gtest/gtest.h>

#include <sstream>

#include "net/src/httpGetRequest.h"
#include "net/src/httpPostRequest.h"
#include "net/src/httpResponse.h"
#include "net/src/sizeText.h"

namespace net {

TEST(HttpMessageTest, RequestPrintAndDump) {
  HttpGetRequest get(L"http://example.test/a?b=1");
  std::wostringstream printed;
  get.print(printed);
  EXPECT_EQ(printed.str(), L"GET http://example.test/a?b=1");
  EXPECT_EQ(HttpPostRequest(L"http://x/").printed(), L"POST http://x/");

  get.extraHeaders = {{L"X-B", L"2"}, {L"X-A", L"1"}};
  std::ostringstream sink;
  get.setSaveStream(&sink);
  std::wostringstream dump;
  get.dump(dump, L"> ");
  EXPECT_EQ(dump.str(),
            L"> GET http://example.test/a?b=1\n> Save stream: enabled\n> X-B: 2\n> X-A: 1\n");
}

TEST(HttpMessageTest, ResponseHeadersKeepTheFirstValueInAnyCase) {
  HttpResponse response(200, L"OK");
  response.setHeader(L"ETag", L"\"1\"");
  response.setHeader(L"etag", L"\"2\"");
  response.setHeader(L"Content-Type", L"text/html");
  ASSERT_EQ(response.getHeaders().size(), 2u);
  EXPECT_EQ(response.getHeaders().at(L"ETAG"), L"\"1\"");
  EXPECT_EQ(response.getHeaders().begin()->first, L"Content-Type") << "ordered by folded name";

  std::wostringstream empty;
  response.dump(empty, true, L"  ");
  EXPECT_EQ(empty.str(),
            L"  200 OK\n  Content-Type: text/html\n  ETag: \"1\"\n  Empty response data.\n");
  std::wstring url = L"untouched";
  bool permanent = true;
  EXPECT_FALSE(response.getRedirect(url, permanent));
  EXPECT_TRUE(url == L"untouched" && permanent) << "no redirect leaves the outputs alone";
  response.getData()->assign({'a', 'b', '\n'});
  std::wostringstream sized, hex;
  response.dump(sized, false, L"");
  response.dump(hex, true, L"");
  EXPECT_NE(sized.str().find(L"Response data size: 3\n"), std::wstring::npos);
  EXPECT_NE(hex.str().find(L"00000000  61 62 0a"), std::wstring::npos) << hex.str();
}

TEST(HttpMessageTest, SizeTextUnitsAndDecimals) {
  const std::pair<std::uint64_t, const wchar_t*> cases[] = {
      {0, L"0 bytes"},
      {1, L"1 byte"},
      {1023, L"1023 bytes"},
      {1024, L"1 Kb"},
      {1536, L"1.50 Kb"},
      {1025, L"1 Kb"},
      {1034, L"1.01 Kb"},
      {1048575, L"1024 Kb"},
      {1048576, L"1 Mb"},
      {3 * 1048576 / 4 * 3, L"2.25 Mb"},
      {(1ull << 30) - 1, L"1024 Mb"},
      {1ull << 30, L"1 Gb"},
      {5ull << 40, L"5120 Gb"},
      {~0ull, L"17179869184 Gb"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(sizeText(bytes), text) << bytes;
}

}  // namespace net
