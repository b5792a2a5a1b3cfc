#pragma once
// The per-user and system-wide folders of the desktop's base-directory convention, as this
// process's environment gives them. Paths are UTF-8, without a trailing slash. A variable
// that is unset, empty or not an absolute path counts as unset, so its default applies.
// Read the environment on each call; call while no thread changes the environment.

#include <string>
#include <vector>

namespace platform {

// $XDG_CONFIG_HOME, else $HOME/.config.
std::string configHome();

// The absolute entries of $XDG_CONFIG_DIRS, most important first; else {"/etc/xdg"}.
std::vector<std::string> configDirs();

// $XDG_DATA_HOME, else $HOME/.local/share.
std::string dataHome();

}  // namespace platform
