#pragma once
// Where the Load and Save dialogs start and which folders they offer beside the file list.
// Installed, the program's folder is the system's (/usr/bin), where no user may write; run
// from its build tree, the program's folder is the developer's own. Called on the window's
// thread.

#include <string>
#include <vector>

namespace settingsEditor {

// `programDir` (with its trailing separator) while this process may create files there;
// else the user's data folder "pagegleansettings/channels/", created on the call that
// first needs it. When that cannot be created either, or `programDir` is empty (not known),
// `programDir`, so the dialog still opens.
std::wstring settingsFolder(const std::wstring& programDir);

// The example channels beside the program, those that exist: "../share/pagegleansettings/
// examples/" of an installed "<prefix>/bin/", and "../examples/" of a build tree's "bin/".
std::vector<std::wstring> exampleFolders(const std::wstring& programDir);

}  // namespace settingsEditor
