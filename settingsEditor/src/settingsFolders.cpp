#include "settingsEditor/src/settingsFolders.h"

#include "lib/filesys/src/filesys.h"
#include "lib/misc/src/textConversion.h"
#include "platform/src/directory.h"
#include "platform/src/xdgDirectories.h"

namespace settingsEditor {

namespace {

// "/usr/" of "/usr/bin/".
std::wstring parentOf(const std::wstring& dir) {
  if (dir.size() < 2) return dir;
  return tools::getDirectory(dir.substr(0, dir.size() - 1));
}

}  // namespace

std::wstring settingsFolder(const std::wstring& programDir) {
  if (programDir.empty()) return programDir;
  if (platform::isWritableDirectory(misc::toUtf8(programDir))) return programDir;
  const std::string channels = platform::dataHome() + "/pagegleansettings/channels/";
  if (platform::makeDirectories(channels) != 0) return programDir;
  return misc::fromUtf8(channels);
}

std::vector<std::wstring> exampleFolders(const std::wstring& programDir) {
  const std::wstring prefix = parentOf(programDir);
  std::vector<std::wstring> folders;
  for (const wchar_t* below : {L"share/pagegleansettings/examples/", L"examples/"}) {
    const std::wstring folder = prefix + below;
    if (platform::isDirectory(misc::toUtf8(folder))) folders.push_back(folder);
  }
  return folders;
}

}  // namespace settingsEditor
