#include "platform/folders/UserFolders.h"
#include "ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace Quarn
{
namespace
{

using Env = std::optional<std::string>;

TEST(UserFoldersTest, LocalAppDataFollowsXdgDataHomeThenHome)
{
    struct Case
    {
        Env dataHome;
        Env home;
        std::string expected;
    };
    const Case cases[] = {
        {"/data/home", "/home/u", "/data/home"},    {std::nullopt, "/home/u", "/home/u/.local/share"},
        {"", "/home/u", "/home/u/.local/share"},    {"relative/data", "/home/u", "/home/u/.local/share"},
        {"/data/home", std::nullopt, "/data/home"}, {std::nullopt, std::nullopt, ""},
        {std::nullopt, "relative/home", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.dataHome.value_or("(unset)") + " " + c.home.value_or("(unset)"));
        test::ScopedEnvironment env;
        env.Set("XDG_DATA_HOME", c.dataHome);
        env.Set("HOME", c.home);
        EXPECT_EQ(platform::LocalAppDataFolder().string(), c.expected);
    }
}

TEST(UserFoldersTest, PicturesFollowUserDirsThenHome)
{
    struct Case
    {
        std::string userDirs; // empty: no user-dirs.dirs
        Env home;
        std::string expected;
    };
    const Case cases[] = {
        {"", "/home/u", "/home/u/Pictures"},
        {"# comment\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/home/u", "/home/u/Bilder"},
        {"XDG_PICTURES_DIR=\"/srv/pictures\"\n", "/home/u", "/srv/pictures"},
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "/home/u", "/home/u/Pictures"},
        {"XDG_PICTURES_DIR=\"relative\"\n", "/home/u", "/home/u/Pictures"},
        {"XDG_PICTURES_DIR=\"/srv/pictures\"\n", std::nullopt, "/srv/pictures"},
        {"", std::nullopt, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.userDirs);
        test::TempDir config;
        if (!c.userDirs.empty())
            config.Write("user-dirs.dirs", c.userDirs);
        test::ScopedEnvironment env;
        env.Set("XDG_CONFIG_HOME", config.Path().string());
        env.Set("HOME", c.home);
        EXPECT_EQ(platform::PicturesFolder().string(), c.expected);
    }
}

} // namespace
} // namespace Quarn
