#include "../Script/LuaTestState.h"
#include "Core/SystemManager.h"
#include "Resources/ResourceManager.h"
#include "Script/LuaState.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

class ResourcesLuaTest : public testing::Test
{
protected:
    void Start()
    {
        m_systems.emplace();
        m_systems->GetResourceManager().AddCopiedExtension("lua");
        m_lua.emplace();
    }

    // The strings of the global array name, sorted.
    std::vector<std::string> Strings(const char* name)
    {
        lua_State* state = m_lua->State();
        std::vector<std::string> strings;
        lua_getglobal(state, name);
        for (int i = 1; lua_istable(state, -1); ++i)
        {
            lua_rawgeti(state, -1, i);
            if (!lua_isstring(state, -1))
            {
                lua_pop(state, 1);
                break;
            }
            strings.push_back(lua_tostring(state, -1));
            lua_pop(state, 1);
        }
        lua_pop(state, 1);
        std::sort(strings.begin(), strings.end());
        return strings;
    }

    test::RunFolder m_folder;
    test::CapturedErrors m_errors;
    std::optional<SystemManager> m_systems;
    std::optional<test::LuaTestState> m_lua;
};

TEST_F(ResourcesLuaTest, ForEachExtensionCallsTheFunctionWithEachScriptPathWithoutItsExtension)
{
    m_folder.WriteSource("scripts/Ship.lua", "return 1");
    m_folder.WriteSource("scripts/Ship_Red.lua", "return 2");
    m_folder.WriteSource("ai/Enemy.Brain.lua", "return 3");
    m_folder.WriteSource("ai/Enemy.xml", "<root/>");
    Start();

    EXPECT_EQ(m_lua->Run("found = {}\n"
                         "resources:ForEachExtension('lua', function(path) found[#found + 1] = path end)\n"
                         "none = {}\n"
                         "resources:ForEachExtension('png', function(path) none[#none + 1] = path end)"),
              "");
    const std::string working = m_folder.Working().string();
    // Ship_Red is hidden by Ship, which has a script of its own.
    EXPECT_EQ(Strings("found"),
              (std::vector<std::string>{working + "/ai/Enemy.Brain", working + "/scripts/Ship"}));
    EXPECT_TRUE(Strings("none").empty());
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(ResourcesLuaTest, AddPreloadRequestQueuesAFileNamedWithItsExtension)
{
    m_folder.WriteSource("levels/Level1.lua", "return 1");
    Start();
    EXPECT_EQ(m_lua->Run("resources:AddPreloadRequest('Level1.lua', 2)"), "");
    EXPECT_TRUE(m_systems->GetResourceManager().GetPreloadManager().HasPendingReads());
    EXPECT_EQ(m_errors.Count(), 0u);

    // Without its extension the name is reported, as a failure inside a script.
    EXPECT_NE(m_lua->Run("resources:AddPreloadRequest('Level1', 1)"), "");
    ASSERT_GE(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("Cannot preload file name 'Level1' could not be found needs extension!"));
}

} // namespace
} // namespace Quarn
