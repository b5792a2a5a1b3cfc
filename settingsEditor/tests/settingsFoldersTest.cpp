#include "settingsEditor/src/settingsFolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "lib/misc/src/textConversion.h"
#include "testSupport/src/scopedVariable.h"
#include "testSupport/src/scratchDir.h"

namespace settingsEditor {
namespace {

TEST(SettingsFoldersTest, StartInTheProgramsFolderOnlyWhereItIsWritable) {
  const testSupport::ScratchDir dir("settingsFolders");
  const std::wstring buildTree = dir.wfile("build/bin/");
  std::filesystem::create_directories(dir.file("build/bin"));
  EXPECT_EQ(settingsFolder(buildTree), buildTree);

  // A folder this process cannot create files in, as /usr/bin is for a user.
  const std::wstring installed = dir.wfile("usr/bin/");
  const testSupport::ScopedVariable dataHome("XDG_DATA_HOME", dir.file("data"));
  const std::wstring channels = dir.wfile("data/pagegleansettings/channels/");
  EXPECT_EQ(settingsFolder(installed), channels);
  struct stat st {};
  EXPECT_EQ(::stat(misc::toUtf8(channels).c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));

  dir.write("file", "");
  const testSupport::ScopedVariable unusable("XDG_DATA_HOME", dir.file("file"));
  EXPECT_EQ(settingsFolder(installed), installed);
}

TEST(SettingsFoldersTest, OfferTheExamplesThatExistBesideTheProgram) {
  const testSupport::ScratchDir dir("exampleFolders");
  std::filesystem::create_directories(dir.file("usr/bin"));
  EXPECT_TRUE(exampleFolders(dir.wfile("usr/bin/")).empty());
  std::filesystem::create_directories(dir.file("usr/share/pagegleansettings/examples"));
  std::filesystem::create_directories(dir.file("build/examples"));
  EXPECT_EQ(exampleFolders(dir.wfile("usr/bin/")),
            std::vector<std::wstring>{dir.wfile("usr/share/pagegleansettings/examples/")});
  EXPECT_EQ(exampleFolders(dir.wfile("build/bin/")),
            std::vector<std::wstring>{dir.wfile("build/examples/")});
}

}  // namespace
}  // namespace settingsEditor
