#include "i18n/src/pathText.h"

#include <gtest/gtest.h>

using namespace i18n::internal;

TEST(PathTextTest, SplitsDirectoryBaseNameAndExtension) {
  EXPECT_EQ(directoryOf(L"/opt/app/prog.bin"), L"/opt/app/");
  EXPECT_EQ(directoryOf(L"prog"), L"");
  EXPECT_EQ(baseNameOf(L"/opt/app/prog.bin"), L"prog");
  EXPECT_EQ(baseNameOf(L"/opt/a.b/prog"), L"prog") << "a dot in a directory is no extension";
  EXPECT_EQ(baseNameOf(L"/opt/app/.hidden"), L".hidden");
  EXPECT_EQ(baseNameOf(L"/opt/app/x.deu.lang"), L"x.deu");
  EXPECT_EQ(replaceExtension(L"/a/x.deu.lang", L".smap"), L"/a/x.deu.smap");
  EXPECT_EQ(replaceExtension(L"/a.b/prog", L".smap"), L"/a.b/prog.smap");
}

TEST(PathTextTest, JoinAddsOneSeparatorOnlyWhenMissing) {
  EXPECT_EQ(joinPath(L"/a", L"b"), L"/a/b");
  EXPECT_EQ(joinPath(L"/a/", L"b"), L"/a/b");
  EXPECT_EQ(joinPath(L"C:\\a\\", L"b"), L"C:\\a\\b");
  EXPECT_EQ(joinPath(L"", L"b"), L"b");
}

TEST(PathTextTest, SearchDirectoriesRunFromTheProgramToTheRoot) {
  EXPECT_EQ(searchDirectories(L"/a/b/prog"), (std::vector<std::wstring>{L"/a/b/", L"/a/", L"/"}));
  EXPECT_EQ(searchDirectories(L"/prog"), (std::vector<std::wstring>{L"/"}));
  EXPECT_TRUE(searchDirectories(L"prog").empty());
  EXPECT_EQ(searchDirectories(L"rel/dir/prog"), (std::vector<std::wstring>{L"rel/dir/", L"rel/"}));
}
