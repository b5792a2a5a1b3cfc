#include "config/src/overlayFile.h"

#include <gtest/gtest.h>

#include <sstream>

#include "config/src/iniFileStore.h"
#include "config/tests/testFiles.h"

namespace config {
namespace {

std::wstring dumpOf(Store& store) {
  std::wostringstream out;
  store.dump(out, kDumpBrackets, L"");
  return out.str();
}

TEST(OverlayFileTest, LaterFilesOverrideKeyByKeyAndMissingFilesChangeNothing) {
  test::TempDir dir("overlayFileTest");
  dir.write("base.ini", "root=0\r\n[Config]\r\nA=base\r\nB=base\r\n[Config/Deep]\r\nX=1\r\n");
  dir.write("system.ini", "[config]\nb=system\nC=system\n[Other]\nK=%25v\n");
  dir.write("user.ini", "root=user\n[Config]\nC=user\n[Config/Deep]\nY=2\n");

  IniFileStore layered(nullptr, IniFileStore::useDefaultFlags);
  layered.loadFile(dir.wfile("base.ini"));
  for (const char* name : {"missing.ini", "system.ini", "user.ini", "missing/too.ini"}) {
    overlayFile(layered, dir.wfile(name));
  }

  IniFileStore expected(nullptr, IniFileStore::useDefaultFlags);
  dir.write("expected.ini",
            "root=user\n[Config]\nA=base\nB=system\nC=user\n[Config/Deep]\nX=1\nY=2\n"
            "[Other]\nK=%25v\n");
  expected.loadFile(dir.wfile("expected.ini"));
  EXPECT_EQ(dumpOf(layered), dumpOf(expected));
}

}  // namespace
}  // namespace config
