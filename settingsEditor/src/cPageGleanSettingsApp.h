#pragma once
// Start-up and shutdown of the settings editor, without the toolkit: the process-wide
// state that the dialog and Preview read, and the start sequence around one modal run of
// the dialog. Called once, on the thread that will own the window.

#include <functional>
#include <string>
#include <vector>

#include "config/src/iniFileStore.h"

namespace settingsEditor {

// The directory of the running program, with its trailing separator. Set by start-up.
extern std::wstring appDir;
// The program's own configuration, read from configurationFiles() and never written.
// Created by start-up and never freed; null before.
extern config::IniFileStore* appConfig;

// The program's name as message boxes show it: the executable's name without extension.
std::wstring programName();

// The files the configuration is read from, each overriding the one before key by key: the
// program's path with ".ini" (`modulePath` is the executable's), then
// "pagegleansettings/<program>.ini" in each system configuration folder, least important
// first, then in the user's configuration folder. The user configures the program in the
// last, without needing to write beside the executable.
std::vector<std::wstring> configurationFiles(const std::wstring& modulePath);

class CPageGleanSettingsApp {
 public:
  // The start sequence: checks every module's guard string, sets appDir and appConfig
  // (a missing or unreadable configuration file adds nothing to it), loads the theming
  // support, then calls `runDialog`, which constructs the dialog, runs it modally and
  // destroys it before it returns. Exceptions from any step propagate to the caller.
  // Always returns false, the framework's "do not enter a message loop": the dialog has
  // run and ended by then, and a failure throws rather than returning.
  bool initInstance(const std::function<void()>& runDialog);

  // initInstance() for main(): an exception that escapes it is shown in a message box and
  // gives exit code 1; a normal end gives 0.
  int run(const std::function<void()>& runDialog);
};

}  // namespace settingsEditor
