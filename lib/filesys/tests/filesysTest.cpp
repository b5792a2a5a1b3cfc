#include "lib/filesys/src/filesys.h"

#include "platform/src/utf8.h"
#include "testSupport/src/scratchDir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace tools {
namespace {

// The wide form of a path; file names are UTF-8 whatever the locale.
std::wstring wide(const std::filesystem::path& path) {
  return platform::fromUtf8(path.string());
}

struct Parts {
  std::wstring drive, dir, name, ext;
};

Parts split(const std::wstring& path) {
  Parts p;
  splitPath(path, &p.drive, &p.dir, &p.name, &p.ext);
  return p;
}

void expectParts(const std::wstring& path, const Parts& want) {
  const Parts got = split(path);
  EXPECT_EQ(got.drive, want.drive) << path;
  EXPECT_EQ(got.dir, want.dir) << path;
  EXPECT_EQ(got.name, want.name) << path;
  EXPECT_EQ(got.ext, want.ext) << path;
}

TEST(SplitPath, LocalPaths) {
  expectParts(L"/a/b.exe", {L"", L"/a/", L"b", L".exe"});
  expectParts(L"b.tar.gz", {L"", L"", L"b.tar", L".gz"});
  expectParts(L"/a.d/b", {L"", L"/a.d/", L"b", L""});
  expectParts(L"/a/b/", {L"", L"/a/b/", L"", L""});
  expectParts(L"", {L"", L"", L"", L""});
  // A backslash is an ordinary file-name character here.
  expectParts(L"/x\\y.txt", {L"", L"/", L"x\\y", L".txt"});
  expectParts(L"\\\\srv\\share\\f", {L"", L"", L"\\\\srv\\share\\f", L""});
}

TEST(SplitPath, NetworkShares) {
  expectParts(L"//srv/share/d/f.txt", {L"//srv/share", L"/d/", L"f", L".txt"});
  expectParts(L"//srv/share/f", {L"//srv/share", L"/", L"f", L""});
  expectParts(L"//srv/share", {L"//srv/share", L"", L"", L""});
  expectParts(L"//srv", {L"//srv", L"", L"", L""});
  expectParts(L"//srv/", {L"//srv/", L"", L"", L""});
  // An empty server or share name makes no share.
  expectParts(L"///a/b", {L"", L"///a/", L"b", L""});
  expectParts(L"//srv//b.c", {L"", L"//srv//", L"b", L".c"});
}

TEST(SplitPath, OutputsMayBeNullAndAreOverwritten) {
  std::wstring name = L"stale", ext = L"stale";
  splitPath(L"//srv/share", nullptr, nullptr, &name, &ext);
  EXPECT_EQ(name, L"");
  EXPECT_EQ(ext, L"");
  std::wstring drive = L"stale";
  splitPath(L"/a/b.c", &drive, nullptr, nullptr, nullptr);
  EXPECT_EQ(drive, L"");
}

TEST(MakePath, AddsSeparatorAndDot) {
  EXPECT_EQ(makePath(L"", L"/a", L"b", L"txt"), L"/a/b.txt");
  EXPECT_EQ(makePath(L"", L"/a/", L"b", L".txt"), L"/a/b.txt");
  EXPECT_EQ(makePath(L"", L"", L"b", L""), L"b");
  EXPECT_EQ(makePath(L"", L"/a\\"), L"/a\\/");
  EXPECT_EQ(makePath(L"", L""), L"");
}

TEST(MakePath, NetworkShareDrive) {
  EXPECT_EQ(makePath(L"//srv/share", L"d/"), L"//srv/share/d/");
  EXPECT_EQ(makePath(L"//srv/share", L"/d/"), L"//srv/share/d/");
  EXPECT_EQ(makePath(L"//srv/share/", L"/d/"), L"//srv/share/d/");
  EXPECT_EQ(makePath(L"//srv/share/", L"d"), L"//srv/share/d/");
  EXPECT_EQ(makePath(L"//srv/share", L"", L"f", L"txt"), L"//srv/share/f.txt");
}

TEST(MakePath, InvertsSplitPath) {
  for (const std::wstring path :
       {L"/a/b.exe", L"//srv/share/d/f.txt", L"rel/x.y.z", L"/only/dir/", L"//srv/share/f"}) {
    const Parts p = split(path);
    EXPECT_EQ(makePath(p.drive, p.dir, p.name, p.ext), path);
  }
}

TEST(PathOperations, DirectoryAndExtension) {
  EXPECT_EQ(getDirectory(L"/a/b.exe"), L"/a/");
  EXPECT_EQ(getDirectory(L"b.exe"), L"");
  EXPECT_EQ(getDirectory(L"//srv/share/d/f.txt"), L"//srv/share/d/");
  EXPECT_EQ(getDirectory(L"//srv/share"), L"//srv/share/");
  EXPECT_EQ(changeExtension(L"/a/b.exe", L".ini"), L"/a/b.ini");
  EXPECT_EQ(changeExtension(L"/a.d/b", L"ini"), L"/a.d/b.ini");
  EXPECT_EQ(changeExtension(L"//srv/share/f.txt", L".xml"), L"//srv/share/f.xml");
  EXPECT_EQ(changeExtension(L"/a/b.exe", L""), L"/a/b");
}

TEST(PathOperations, NoLengthLimit) {
  std::wstring dir = L"/";
  while (dir.size() < 5000) dir += L"segment.d/";
  const std::wstring name(4500, L'n');
  const std::wstring path = dir + name + L".txt";
  expectParts(path, {L"", dir, name, L".txt"});
  EXPECT_EQ(getDirectory(path), dir);
  EXPECT_EQ(changeExtension(path, L".ini"), dir + name + L".ini");
  const std::wstring share = L"//srv/" + std::wstring(4200, L's');
  expectParts(share + path, {share, dir, name, L".txt"});
  EXPECT_EQ(makePath(share, dir, name, L"txt"), share + path);
}

TEST(FileQueries, SizeAndKind) {
  const testSupport::ScratchDir scratch("filesys");
  const std::filesystem::path dir = scratch.root();
  const std::filesystem::path file = dir / "data \xc3\xa4.bin";
  scratch.write(file.filename().string(), std::string(1234, 'x'));

  std::uint32_t size = 7;
  EXPECT_TRUE(getFileSize(wide(file), size));
  EXPECT_EQ(size, 1234u);
  EXPECT_TRUE(isFile(wide(file)));
  EXPECT_FALSE(isFile(wide(dir)));
  EXPECT_FALSE(getFileSize(wide(dir), size));
  EXPECT_EQ(size, 1234u);
  // A size that does not fit 32 bits is refused, not cut (the file is sparse).
  std::filesystem::resize_file(file, (std::uintmax_t{1} << 32) + 5);
  EXPECT_FALSE(getFileSize(wide(file), size));
  EXPECT_EQ(size, 1234u);
  std::uint64_t wideSize = 0;
  EXPECT_TRUE(getFileSize(wide(file), wideSize));
  EXPECT_EQ(wideSize, (std::uint64_t{1} << 32) + 5);

  size = 7;
  EXPECT_FALSE(getFileSize(wide(dir / "missing"), size));
  EXPECT_EQ(size, 7u);
  EXPECT_FALSE(isFile(wide(dir / "missing")));
}

TEST(FileQueries, ModulePathIsThisProgram) {
  const std::wstring self = getModulePath();
  ASSERT_FALSE(self.empty());
  EXPECT_TRUE(isFile(self));
  EXPECT_EQ(self.front(), L'/');
}

}  // namespace
}  // namespace tools
