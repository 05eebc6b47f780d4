#include "platform/folders/UserFolders.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace Quarn::platform
{

namespace
{

// An environment variable that names an absolute folder; relative values are ignored, as the XDG
// base directory rules require.
std::filesystem::path AbsoluteFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return {};
    return value;
}

std::filesystem::path Home()
{
    return AbsoluteFromEnvironment("HOME");
}

std::filesystem::path ConfigFolder()
{
    auto config = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (config.empty() && !Home().empty())
        config = Home() / ".config";
    return config;
}

// The folder a user-dirs.dirs line such as XDG_PICTURES_DIR="$HOME/Pictures" names, or empty.
std::filesystem::path UserDirFromLine(const std::string& line, const std::string& key)
{
    const std::string prefix = key + "=\"";
    if (line.rfind(prefix, 0) != 0)
        return {};
    const auto end = line.find('"', prefix.size());
    if (end == std::string::npos)
        return {};
    const std::string value = line.substr(prefix.size(), end - prefix.size());
    const std::string homeVariable = "$HOME";
    if (value.rfind(homeVariable, 0) == 0)
    {
        const std::string rest = value.substr(homeVariable.size());
        if (Home().empty() || (!rest.empty() && rest[0] != '/'))
            return {};
        return Home().string() + rest;
    }
    if (!value.empty() && value[0] == '/')
        return value;
    return {};
}

std::filesystem::path UserDir(const std::string& key)
{
    const auto config = ConfigFolder();
    if (config.empty())
        return {};
    std::ifstream file(config / "user-dirs.dirs");
    std::string line;
    std::filesystem::path found;
    while (std::getline(file, line))
    {
        auto folder = UserDirFromLine(line, key);
        if (!folder.empty())
            found = folder;
    }
    return found;
}

} // namespace

std::filesystem::path LocalAppDataFolder()
{
    auto data = AbsoluteFromEnvironment("XDG_DATA_HOME");
    if (data.empty() && !Home().empty())
        data = Home() / ".local" / "share";
    return data;
}

std::filesystem::path PicturesFolder()
{
    auto pictures = UserDir("XDG_PICTURES_DIR");
    if (pictures.empty() && !Home().empty())
        pictures = Home() / "Pictures";
    return pictures;
}

} // namespace Quarn::platform
