#include "platform/src/xdgDirectories.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "testSupport/src/scopedVariable.h"

namespace {

struct Case {
  std::optional<std::string> configHome, configDirs, dataHome;
  std::string wantConfigHome;
  std::vector<std::string> wantConfigDirs;
  std::string wantDataHome;
};

}  // namespace

TEST(XdgDirectoriesTest, VariablesOverrideDefaultsOnlyWhenAbsolute) {
  const testSupport::ScopedVariable home("HOME", "/home/u");
  const Case cases[] = {
      {std::nullopt,
       std::nullopt,
       std::nullopt,
       "/home/u/.config",
       {"/etc/xdg"},
       "/home/u/.local/share"},
      {"", "", "", "/home/u/.config", {"/etc/xdg"}, "/home/u/.local/share"},
      {"/c", "/a:/b", "/d", "/c", {"/a", "/b"}, "/d"},
      {"rel", "rel:/b::x/y:", "rel", "/home/u/.config", {"/b"}, "/home/u/.local/share"},
      {std::nullopt, "rel:", std::nullopt, "/home/u/.config", {"/etc/xdg"}, "/home/u/.local/share"},
  };
  for (const Case& c : cases) {
    const testSupport::ScopedVariable configHome("XDG_CONFIG_HOME", c.configHome);
    const testSupport::ScopedVariable configDirs("XDG_CONFIG_DIRS", c.configDirs);
    const testSupport::ScopedVariable dataHome("XDG_DATA_HOME", c.dataHome);
    SCOPED_TRACE(c.configDirs.value_or("(unset)"));
    EXPECT_EQ(platform::configHome(), c.wantConfigHome);
    EXPECT_EQ(platform::configDirs(), c.wantConfigDirs);
    EXPECT_EQ(platform::dataHome(), c.wantDataHome);
  }
}
