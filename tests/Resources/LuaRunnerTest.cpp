#include "Resources/LuaRunner.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Resources/ResourceManager.h"
#include "Script/LuaTestState.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace Quarn
{
namespace
{

class LuaRunnerTest : public testing::Test
{
protected:
    LuaRunnerTest()
    {
        m_folder.WriteSource("scripts/Answer.lua", "return 42");
        m_folder.WriteSource("scripts/Many.lua", "return 1, 'two', nil");
        m_folder.WriteSource("scripts/Nothing.lua", "local x = 1");
        m_folder.WriteSource("scripts/Depth.lua", "return depth()");
        m_folder.WriteSource("scripts/Broken.lua", "return 1 +");
        m_folder.WriteSource("scripts/Failing.lua", "error('out of cheese')");
        m_folder.WriteSource("data/Level.xml", "<root/>");
        m_systems.emplace();
        Resources().AddCopiedExtension("lua");
        lua_pushcfunction(L(),
                          [](lua_State* state)
                          {
                              lua_pushnumber(state, OutputHandler::Get().LuaCallDepth());
                              return 1;
                          });
        lua_setglobal(L(), "depth");
    }

    ResourceManager& Resources() { return m_systems->GetResourceManager(); }
    lua_State* L() { return m_lua.State(); }
    std::string WorkingScript(const std::string& name)
    {
        return (m_folder.Working() / "scripts" / name).string();
    }

    test::RunFolder m_folder;
    test::CapturedErrors m_errors;
    std::optional<SystemManager> m_systems;
    test::LuaTestState m_lua;
};

TEST_F(LuaRunnerTest, AScriptsResultsStayOnTheStack)
{
    lua_pushstring(L(), "caller's value");
    EXPECT_EQ(LuaRunner::RunFile("Answer", Resources()), 1);
    EXPECT_EQ(lua_tonumber(L(), -1), 42.0);
    EXPECT_STREQ(lua_tostring(L(), 1), "caller's value");
    lua_settop(L(), 1);

    EXPECT_EQ(LuaRunner::RunFile("Many", Resources()), 3);
    EXPECT_TRUE(lua_isnil(L(), -1));
    EXPECT_STREQ(lua_tostring(L(), -2), "two");
    EXPECT_EQ(lua_tonumber(L(), -3), 1.0);
    lua_settop(L(), 1);

    EXPECT_EQ(LuaRunner::RunFile("Nothing", Resources()), 0);
    EXPECT_EQ(lua_gettop(L()), 1);

    // The script runs as a Lua call; the depth is back afterwards.
    EXPECT_EQ(LuaRunner::RunFile("Depth", Resources()), 1);
    EXPECT_EQ(lua_tonumber(L(), -1), 1.0);
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(LuaRunnerTest, FailuresAreReportedAndLeaveTheStackAsItWas)
{
    struct Case
    {
        const char* name;
        std::string report;
    };
    const Case cases[] = {
        {"Missing", "Failed to find any file named \"Missing\""},
        {"Level", "Failed to find lua file \"Level.lua\""},
        {"Broken", "Failed to run lua file '" + WorkingScript("Broken.lua") + "'\n\n"},
        {"Failing", "out of cheese"},
    };
    for (const Case& c : cases)
    {
        m_errors.Clear();
        lua_pushstring(L(), "caller's value");
        EXPECT_EQ(LuaRunner::RunFile(c.name, Resources()), 0) << c.name;
        EXPECT_EQ(lua_gettop(L()), 1) << c.name;
        lua_settop(L(), 0);
        ASSERT_EQ(m_errors.Count(), 1u) << c.name;
        EXPECT_TRUE(m_errors.Any(c.report)) << m_errors.Texts()[0];
    }
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
}

TEST_F(LuaRunnerTest, InsideALuaCallAFailureRestartsTheGame)
{
    LuaCallDepthScope inLua;
    for (const char* name : {"Missing", "Level", "Failing"})
    {
        EXPECT_THROW(LuaRunner::RunFile(name, Resources()), RestartGameException) << name;
        EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 1) << name;
    }
}

} // namespace
} // namespace Quarn
