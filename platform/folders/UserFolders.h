#pragma once

#include <filesystem>

namespace Quarn::platform
{

// The user's local application-data folder: $XDG_DATA_HOME, else ~/.local/share. Empty when
// neither an absolute XDG_DATA_HOME nor HOME is set.
std::filesystem::path LocalAppDataFolder();

// The user's pictures folder: the XDG pictures directory of user-dirs.dirs ($XDG_CONFIG_HOME, else
// ~/.config), else ~/Pictures. Empty when no home folder is known.
std::filesystem::path PicturesFolder();

} // namespace Quarn::platform
