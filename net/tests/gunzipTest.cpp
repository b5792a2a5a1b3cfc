#include "net/src/gunzip.h"

#include <gtest/gtest.h>

#include "net/src/gzipStream.h"
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

struct Streamed {
  std::wstring message;  // "" for success
  std::string plain;
};

// `body` given to a GzipStream in pieces of `piece` bytes (0: whole).
Streamed streamed(std::string_view body, std::size_t piece, std::uint64_t limit = 0) {
  ByteVector out;
  const std::wstring message = test::failure([&] {
    GzipStream gzip(out, BodyLimit(limit));
    for (std::size_t at = 0; at < body.size(); at += piece == 0 ? body.size() : piece) {
      gzip.write(body.substr(at, piece == 0 ? body.size() : piece));
    }
    gzip.finish();
  });
  return {message, text(out)};
}

}  // namespace

TEST(GunzipTest, EveryOptionalHeaderFieldIsSkippedAndTheBodyInflatesWhole) {
  const std::string plain =
      test::sampleText(3 * GzipStream::kOutputStep + 77);  // several inflate calls
  const GzipFields fields{2 | 4 | 8 | 16, std::string("x\0y", 3), "page.html", "a comment"};
  ByteVector data = bytes(gzipMember(plain, fields));
  test::LogCapture log({&internal::httpActivityGroup()});
  gunzipResponseData(data);
  EXPECT_EQ(data.size(), plain.size());
  EXPECT_TRUE(text(data) == plain);
  const std::size_t offset = 10 + 2 + 3 + 10 + 10 + 2;
  EXPECT_TRUE(log.contains(L"Starting decompression at offset " + std::to_wstring(offset)))
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
    EXPECT_LE(data.capacity(), plain.size() + GzipStream::kOutputStep)
        << "allocated once, not grown";
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
    // However the body arrives, the same fault is found.
    for (const std::size_t piece : {1, 2, 7}) {
      EXPECT_EQ(streamed(c.body, piece).message, c.message)
          << piece << " " << testing::PrintToString(c.body);
    }
  }
}

// Every split of a body, through every optional field, inflates to the same bytes; the limit
// holds for the inflated size only, and stops a body that inflates without end early.
TEST(GzipStreamTest, PiecesInflateAsTheWholeAndTheLimitStopsTheInflatedSize) {
  const std::string plain = test::sampleText(3 * GzipStream::kOutputStep + 77);
  const std::string member =
      gzipMember(plain, {2 | 4 | 8 | 16, std::string("x\0y", 3), "page.html", "a comment"});
  for (const std::size_t piece : {0, 1, 3, 10, 11, 13, 1000}) {
    const Streamed result = streamed(member, piece);
    EXPECT_EQ(result.message, L"") << piece;
    EXPECT_TRUE(result.plain == plain) << piece << ": " << result.plain.size() << " bytes";
  }
  const std::wstring tooLarge = L"The page is larger than 48 Kb.";
  const std::uint64_t limit = 48 << 10;
  const struct {
    std::string plain;
    std::wstring message;
  } cases[] = {
      {std::string(limit, 'a'), L""},
      {std::string(limit + 1, 'a'), tooLarge},
      {std::string(64 << 20, '\0'), tooLarge},  // 64 KB that would inflate to 64 MB
  };
  for (const auto& c : cases) {
    const std::string zipped = gzipMember(c.plain);
    for (const std::size_t piece : {std::size_t{0}, std::size_t{4096}}) {
      const Streamed result = streamed(zipped, piece, limit);
      EXPECT_EQ(result.message, c.message) << c.plain.size() << " in pieces of " << piece;
      EXPECT_LE(result.plain.size(), limit + GzipStream::kOutputStep) << "stopped early";
      if (c.message.empty()) {
        EXPECT_TRUE(result.plain == c.plain);
      }
    }
  }
}

}  // namespace net
