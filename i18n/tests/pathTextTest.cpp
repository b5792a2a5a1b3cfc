#include "i18n/src/pathText.h"

#include <gtest/gtest.h>

using namespace i18n::internal;

TEST(PathTextTest, SearchDirectoriesRunFromTheProgramToTheRoot) {
  EXPECT_EQ(searchDirectories(L"/a/b/prog"), (std::vector<std::wstring>{L"/a/b/", L"/a/", L"/"}));
  EXPECT_EQ(searchDirectories(L"/prog"), (std::vector<std::wstring>{L"/"}));
  EXPECT_TRUE(searchDirectories(L"prog").empty());
  EXPECT_EQ(searchDirectories(L"rel/dir/prog"), (std::vector<std::wstring>{L"rel/dir/", L"rel/"}));
  EXPECT_EQ(searchDirectories(L"//srv/share/app/prog"),
            (std::vector<std::wstring>{L"//srv/share/app/", L"//srv/share/"}));
}

TEST(PathTextTest, ProgramBaseNameDropsDirectoryAndExtension) {
  setProgramPathForTesting(L"/opt/a.b/PageGleanSettings.bin");
  EXPECT_EQ(programBaseName(), L"PageGleanSettings");
  setProgramPathForTesting(L"/opt/app/prog");
  EXPECT_EQ(programBaseName(), L"prog");
  setProgramPathForTesting(L"");
  EXPECT_EQ(programPath().front(), L'/');
}
