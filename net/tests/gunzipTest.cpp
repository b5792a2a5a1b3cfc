#include "net/src/gunzip.h"

#include <gtest/gtest.h>

#include "net/src/msgGroups.h"
#include "net/tests/gzipMember.h"
#include "net/tests/logCapture.h"
#include "net/tests/netFixture.h"

namespace net {
namespace {

using test::GzipFields;
using test::gzipMember;
using test::text;

ByteVector bytes(std::string_view text) {
  return ByteVector(text.begin(), text.end());
}

}  // namespace

TEST(GunzipTest, EveryOptionalHeaderFieldIsSkippedAndTheBodyInflatesWhole) {
  const std::string plain = test::sampleText(3 * 16384 + 77);  // several inflate calls
  const GzipFields fields{2 | 4 | 8 | 16, std::string("x\0y", 3), "page.html", "a comment"};
  ByteVector data = bytes(gzipMember(plain, fields));
  test::LogCapture log({&internal::httpActivityGroup()});
  gunzipResponseData(data);
  EXPECT_EQ(data.size(), plain.size());
  EXPECT_TRUE(text(data) == plain);
  const std::size_t offset = 10 + 2 + 3 + 10 + 10 + 2;
  EXPECT_TRUE(
      log.contains(L"Starting decompression at offset " + std::to_wstring(offset) + L" ; #bytes="))
      << log.text();
  EXPECT_TRUE(log.contains(L"Decompressing a compressed HTTP response: #bytes="));
  EXPECT_TRUE(log.contains(L"  00000000  1f 8b 08 1e")) << "the header is dumped";
}

TEST(GunzipTest, TheTrailersSizeOnlySizesTheOneAllocation) {
  const std::string plain = test::sampleText(100000);
  const std::string member = gzipMember(plain);
  const auto withSize = [&](std::uint32_t size) {
    std::string body = member;
    for (int i = 0; i < 4; ++i) body[body.size() - 4 + i] = static_cast<char>(size >> 8 * i);
    return body;
  };
  {
    ByteVector data = bytes(member);
    gunzipResponseData(data);
    EXPECT_TRUE(text(data) == plain);
    EXPECT_LE(data.capacity(), plain.size() + 16384) << "allocated once, not grown";
  }
  for (const std::uint32_t stated : {0u, 1000u, 150000u, 0xFFFFFFFFu}) {
    ByteVector data = bytes(withSize(stated));
    gunzipResponseData(data);
    EXPECT_TRUE(text(data) == plain) << stated;
  }
}

TEST(GunzipTest, TrailerAndWhatFollowsTheDeflateStreamAreNotLookedAt) {
  const std::string plain = "<html>plain page</html>";
  std::string member = gzipMember(plain);
  std::string badCrc = member;
  badCrc[badCrc.size() - 8] ^= 0x55;
  const std::string noTrailer = member.substr(0, member.size() - 8);
  for (const std::string& body :
       {badCrc, noTrailer, member + gzipMember("second member"), member + "garbage"}) {
    ByteVector data = bytes(body);
    gunzipResponseData(data);
    EXPECT_EQ(text(data), plain);
  }
  ByteVector empty = bytes(gzipMember(""));
  gunzipResponseData(empty);
  EXPECT_TRUE(empty.empty());
}

TEST(GunzipTest, BadBodiesThrowTheirMessageAndKeepTheCompressedBytes) {
  const std::string good = gzipMember(test::sampleText(5000));
  const std::string header = good.substr(0, 10);
  const std::wstring badHeader = L"Invalid compressed HTTP response header.";
  struct Case {
    std::string body;
    std::wstring message;
  } cases[] = {
      {"", badHeader},
      {good.substr(0, 9), badHeader},
      {header, badHeader},
      {"\x1f\x8c" + good.substr(2), L"Missing magic ID in the compressed HTTP response header."},
      {good.substr(0, 2) + '\x07' + good.substr(3),
       L"Invalid CM in the compressed HTTP response header."},
      // Optional fields that claim more than there is.
      {std::string("\x1f\x8b\x08\x04", 4) + header.substr(4) + "\xff\x7f" + "abc", badHeader},
      {std::string("\x1f\x8b\x08\x04", 4) + header.substr(4) + "\x01", badHeader},
      {std::string("\x1f\x8b\x08\x08", 4) + header.substr(4) + "name, never ended", badHeader},
      {std::string("\x1f\x8b\x08\x12", 4) + header.substr(4) + "comment", badHeader},
      {std::string("\x1f\x8b\x08\x02", 4) + header.substr(4) + "\x01\x02", badHeader},
      {good.substr(0, good.size() / 2), L"Gzip decompression failure: rc=-5"},
      {header + std::string(40, '\xff'), L"Gzip decompression failure: rc=-3"},
  };
  for (const Case& c : cases) {
    ByteVector data = bytes(c.body);
    EXPECT_EQ(test::failure([&] { gunzipResponseData(data); }), c.message)
        << testing::PrintToString(c.body);
    EXPECT_EQ(text(data), c.body) << "the caller keeps the compressed bytes";
  }
}

}  // namespace net
