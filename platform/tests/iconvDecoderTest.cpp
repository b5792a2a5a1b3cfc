#include <gtest/gtest.h>

#include "platform/src/iconvDecoder.h"

namespace {

TEST(IconvDecoderTest, BadBytesBecomeReplacementCharactersAndDecodingGoesOn) {
  platform::IconvDecoder utf8("UTF-8");
  ASSERT_TRUE(utf8.valid());
  EXPECT_EQ(utf8.decode("a\xFF"
                        "b\xC3\xA9\xE2\x82"),
            "a\uFFFDb\u00e9\uFFFD");
  EXPECT_EQ(utf8.decode("again"), "again") << "no state left from the cut-off sequence";
  platform::IconvDecoder sjis("shift_jis");
  EXPECT_EQ(sjis.decode("\x93\xFA\x96\x7B"), "\u65e5\u672c");
  EXPECT_FALSE(platform::IconvDecoder("no-such-set").valid());
}

}  // namespace
