#include "settingsEditor/qt/src/displayCheck.h"

#include <QDir>
#include <QLibraryInfo>
#include <QStringList>

#include <vector>

#include "lib/misc/src/textConversion.h"
#include "platform/src/displayConnection.h"
#include "platform/src/environment.h"
#include "settingsEditor/src/istring.h"

namespace settingsEditor::qt {

namespace {

using internal::istring;

std::string variable(const char* name) {
  return platform::environmentVariable(name).value_or("");
}

// Where Qt looks for its platform plug-ins, in its own order.
QStringList platformPluginDirs() {
  QStringList dirs;
  if (const std::string dir = variable("QT_QPA_PLATFORM_PLUGIN_PATH"); !dir.empty()) {
    dirs << QString::fromStdString(dir);
  }
  for (const QString& dir : QString::fromStdString(variable("QT_PLUGIN_PATH")).split(':')) {
    if (!dir.isEmpty()) dirs << dir + "/platforms";
  }
  dirs << QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms";
  return dirs;
}

bool hasWaylandPlugin() {
  for (const QString& dir : platformPluginDirs()) {
    if (!QDir(dir).entryList({"libqwayland*.so"}, QDir::Files).isEmpty()) return true;
  }
  return false;
}

// Empty when the platform's display answers; else why not.
std::wstring failureOf(const std::string& platform) {
  if (platform == "xcb") {
    const std::string display = variable("DISPLAY");
    if (display.empty()) return istring(14040);
    if (platform::x11DisplayAnswers(display)) return {};
    return istring(14042).format(misc::fromUtf8(display));
  }
  std::string display = variable("WAYLAND_DISPLAY");
  if (display.empty()) display = "wayland-0";  // the Wayland client library's default
  if (!hasWaylandPlugin()) return istring(14044).format(misc::fromUtf8(display));
  if (platform::waylandDisplayAnswers(display)) return {};
  return istring(14043).format(misc::fromUtf8(display));
}

bool isWayland(const std::string& platform) {
  return platform.starts_with("wayland");
}

// The platforms QT_QPA_PLATFORM lists ("wayland;xcb", "xcb:option"), by name.
std::vector<std::string> listedPlatforms(const std::string& list) {
  std::vector<std::string> names;
  for (const QString& entry : QString::fromStdString(list).split(';', Qt::SkipEmptyParts)) {
    names.push_back(entry.section(':', 0, 0).trimmed().toStdString());
  }
  return names;
}

// The first of `platforms` whose display answers; every failure when none does.
DisplayChoice firstAnswering(const std::vector<std::string>& platforms) {
  DisplayChoice choice;
  for (const std::string& platform : platforms) {
    const std::wstring failure = failureOf(platform);
    if (failure.empty()) return {platform, {}};
    if (!choice.failure.empty()) choice.failure += L' ';
    choice.failure += failure;
  }
  if (platforms.empty()) choice.failure = istring(14040);
  return choice;
}

}  // namespace

DisplayChoice chooseDisplay() {
  if (const std::string list = variable("QT_QPA_PLATFORM"); !list.empty()) {
    const std::vector<std::string> listed = listedPlatforms(list);
    for (const std::string& name : listed) {
      if (name != "xcb" && !isWayland(name)) return {};
    }
    DisplayChoice choice = firstAnswering(listed);
    choice.platform.clear();  // Qt follows the list itself
    return choice;
  }
  std::vector<std::string> platforms;
  if (!variable("DISPLAY").empty()) platforms.push_back("xcb");
  if (!variable("WAYLAND_DISPLAY").empty()) {
    const bool waylandSession = variable("XDG_SESSION_TYPE") == "wayland";
    platforms.insert(waylandSession ? platforms.begin() : platforms.end(), "wayland");
  }
  return firstAnswering(platforms);
}

}  // namespace settingsEditor::qt
