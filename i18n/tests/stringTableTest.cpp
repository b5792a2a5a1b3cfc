// The program's string table: its data file and the compiled table built from it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "i18n/src/controlString.h"
#include "i18n/src/stringTable.h"
#include "lib/misc/src/textConversion.h"

namespace {

struct Line {
  int id;
  std::string text;
};

// Blocks are runs of id lines separated by blank lines.
std::vector<std::vector<Line>> readBlocks() {
  std::ifstream in(PG_STRINGS_TXT);
  std::vector<std::vector<Line>> blocks(1);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '#') continue;
    if (line.empty()) {
      if (!blocks.back().empty()) blocks.emplace_back();
      continue;
    }
    const auto tab = line.find('\t');
    blocks.back().push_back({std::stoi(line.substr(0, tab)), line.substr(tab + 1)});
  }
  if (blocks.back().empty()) blocks.pop_back();
  return blocks;
}

}  // namespace

TEST(StringTableTest, IdsAreUniqueAndEveryBlockStartsWithItsModuleName) {
  const std::map<int, std::string> expectedBlocks = {{10000, "log"},
                                                     {10100, "misc"},
                                                     {10300, "resizer"},
                                                     {10400, "widgets"},
                                                     {11100, "tools"},
                                                     {11200, "win32tools"},
                                                     {11400, "crypto"},
                                                     {11500, "net"},
                                                     {11750, "channels1"},
                                                     {11900, "htmlStripper"},
                                                     {13100, "templateProcessor"},
                                                     {13400, "config"},
                                                     {13700, "users"},
                                                     {13800, "shared"},
                                                     {14000, "settingsEditor"},
                                                     {14100, "i18n"},
                                                     {14200, "plugin"},
                                                     {14300, "viewer"}};
  std::set<int> ids;
  std::map<int, std::string> blockStarts;
  const auto blocks = readBlocks();
  for (const auto& block : blocks) blockStarts[block.front().id] = block.front().text;
  EXPECT_EQ(blockStarts, expectedBlocks);
  for (const auto& block : blocks) {
    const int start = block.front().id;
    const auto next = blockStarts.upper_bound(start);
    for (const Line& line : block) {
      EXPECT_TRUE(ids.insert(line.id).second) << "repeated id " << line.id;
      EXPECT_GE(line.id, start) << "in block " << start;
      if (next != blockStarts.end()) {
        EXPECT_LT(line.id, next->first) << "in block " << start;
      }
    }
  }
  EXPECT_EQ(ids.size(), i18n::internal::kStringTableSize) << "the compiled table is the file";
}

TEST(StringTableTest, EveryControlStringParsesAndItsTargetsExist) {
  int controlStrings = 0;
  for (std::size_t i = 0; i < i18n::internal::kStringTableSize; ++i) {
    const auto& entry = i18n::internal::kStringTable[i];
    if (std::string(entry.utf8).rfind("[*:", 0) != 0) continue;
    ++controlStrings;
    i18n::ControlString parsed;
    ASSERT_TRUE(i18n::parseControlString(misc::fromUtf8(entry.utf8), parsed)) << entry.id;
    EXPECT_NE(i18n::internal::findBuiltInString(parsed.defaultId), nullptr) << entry.id;
    for (const auto& [index, target] : parsed.indexedIds) {
      EXPECT_NE(i18n::internal::findBuiltInString(target), nullptr) << entry.id;
    }
  }
  EXPECT_GE(controlStrings, 15) << "11113, 11137-11142 and 11147-11154";
}

TEST(StringTableTest, ReadsLikeAPackWithTheBufferRules) {
  char small[6];
  EXPECT_EQ(i18n::internal::loadBuiltInString(10101, small, sizeof small), 5);
  EXPECT_STREQ(small, "PROGR");
  char big[64];
  EXPECT_EQ(i18n::internal::loadBuiltInString(10101, big, sizeof big), 13);
  EXPECT_STREQ(big, "PROGRAM ABORT");
  EXPECT_EQ(i18n::internal::loadBuiltInString(99999, big, sizeof big), 0);
  EXPECT_EQ(i18n::internal::loadBuiltInString(10101, big, 0), 0);
}
