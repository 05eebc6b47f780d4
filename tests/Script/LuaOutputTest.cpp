#include "Script/LuaOutput.h"

#include "Core/OutputHandler.h"
#include "LuaTestState.h"
#include "Script/LuaFunction.h"
#include "support/CapturedErrors.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace Quarn
{
namespace
{

std::string FormatValue(const char* text)
{
    lua_pushstring(CurrentLuaState(), text);
    std::string formatted = FormatLuaError();
    lua_pop(CurrentLuaState(), 1);
    return formatted;
}

TEST(FormatLuaErrorTest, ErrorTextsBecomePathLineMessage)
{
    test::LuaTestState lua;
    struct Case
    {
        const char* error;
        const char* shown;
    };
    const Case cases[] = {
        {"../Resources/Scripts/Enemy.lua:12: attempt to call nil",
         "../Resources/Scripts/Enemy.lua(12): attempt to call nil"},
        // Lua's shortened chunk name under the resource folders becomes relative to the working folder.
        {"...rk/Game/Resources/Scripts/Enemy.lua:12: boom", "..\\Resources/Scripts/Enemy.lua(12): boom"},
        {"...rk/Game/Scripts/Enemy.lua:3: boom", "...rk/Game/Scripts/Enemy.lua(3): boom"},
        {"Resource/x.lua:1: starts with Resource", "Resource/x.lua(1): starts with Resource"},
        // Nothing to rewrite: no ':' after the first '.', or no '.' at all.
        {"something failed. badly", "something failed. badly"},
        {"a: b. c", "a: b. c"},
        {"test:4: no extension", "test:4: no extension"},
        {"", ""},
        // Only the first colon found: the rest of the text is left as it is.
        {"x.lua:12 no second colon", "x.lua(12 no second colon"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatValue(c.error), c.shown) << c.error;
}

TEST(FormatLuaErrorTest, ValuesThatAreNotTextGetADescription)
{
    test::LuaTestState lua;
    lua_State* state = lua.State();
    lua_newtable(state);
    EXPECT_EQ(FormatLuaError(), "(error object is a table value)");
    lua_pushnil(state);
    EXPECT_EQ(FormatLuaError(), "(error object is a nil value)");
    lua_pushnumber(state, 42);
    EXPECT_EQ(FormatLuaError(), "42");
}

TEST(FormatLuaErrorTest, RealErrorsOfScriptsUnderTheResourceFolders)
{
    test::LuaTestState lua;
    std::string code(11, '\n');
    code += "error('bad thing')";
    EXPECT_EQ(lua.Run(code, "@../Resources/Scripts/Enemy.lua"),
              "../Resources/Scripts/Enemy.lua:12: bad thing");
    const std::string longName = "@/home/player/games/a-rather-long-folder-name/Resources/Scripts/Enemy.lua";
    const std::string shortened = lua.Run(code, longName.c_str());
    ASSERT_EQ(shortened.rfind("...", 0), 0u) << shortened;
    lua_pushstring(lua.State(), shortened.c_str());
    EXPECT_EQ(FormatLuaError(), "..\\Resources/Scripts/Enemy.lua(12): bad thing");
}

// Long enough for Lua to shorten it to "..." and its tail.
constexpr const char* kBoomChunk = "@/home/player/games/a-rather-long-folder-name/Resources/Scripts/Boom.lua";

class ErrorHandlerTest : public testing::Test
{
protected:
    ErrorHandlerTest() : m_cwd(m_dir.Path()) { OutputHandler::Get().ResetLuaCallDepth(); }

    // Runs the global Outer of a script whose inner function fails, as the frame would.
    void CallFailingScript()
    {
        ASSERT_EQ(m_lua->Run("local function inner()\n"
                             "  error('boom')\n"
                             "end\n"
                             "function Outer()\n"
                             "  inner()\n"
                             "end\n",
                             kBoomChunk),
                  "");
        lua_getglobal(CurrentLuaState(), "Outer");
        const LuaFunction outer(-1);
        lua_pop(CurrentLuaState(), 1);
        outer.PCall(0, outer.PushCall());
    }

    std::string LogText() const { return test::TempDir::Read(m_dir / "RunLog.txt"); }

    test::TempDir m_dir;
    test::ScopedWorkingDir m_cwd;
    test::CapturedErrors m_errors;
    std::optional<test::LuaTestState> m_lua{std::in_place};
};

TEST_F(ErrorHandlerTest, TheHandlerLogsTheCallStackWhenLoggingIsOn)
{
    {
        OutputHandler output(true);
        CallFailingScript();
    }
    // The handler runs at the failing call, so the stack holds itself, error, inner and Outer.
    const std::string dump =
        "-----------\nENCOUNTERED ERROR WHILE IN LUA:\nPERFORMING STACK DUMP:\n-----------\n\n"
        "[C](-1) :  function .\n"
        "[C](-1) : Function \"error\"\n"
        "..\\Resources/Scripts/Boom.lua(2) : Function \"inner\"\n"
        "..\\Resources/Scripts/Boom.lua(5) :  function .\n"
        "-----------\nSTACK DUMP COMPLETE:\n-----------\n\n\n";
    const std::string log = LogText();
    EXPECT_EQ(log.substr(0, dump.size()), dump);
    const std::string titleLine = log.substr(dump.size(), log.find('\n', dump.size()) - dump.size());
    EXPECT_THAT(titleLine,
                testing::MatchesRegex(
                    ".*Script/LuaOutput\\.cpp\\([0-9]+\\) : \"Lua error occured, dumping call stack\""));
    EXPECT_EQ(
        m_errors.Texts(),
        std::vector<std::string>{"Failed call lua function \n..\\Resources/Scripts/Boom.lua(2): boom\n\n"});
}

TEST_F(ErrorHandlerTest, WithoutLoggingTheHandlerWritesNothingButTheReportShows)
{
    {
        OutputHandler output(false);
        CallFailingScript();
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir / "RunLog.txt"));
    EXPECT_EQ(
        m_errors.Texts(),
        std::vector<std::string>{"Failed call lua function \n..\\Resources/Scripts/Boom.lua(2): boom\n\n"});
}

TEST(LuaPanicDeathTest, AnErrorOutsideAnyProtectedCallIsReportedAndEndsTheProcess)
{
    EXPECT_EXIT(
        {
            test::LuaTestState lua;
            lua_pushstring(lua.State(), "outside");
            lua_error(lua.State());
        },
        testing::ExitedWithCode(EXIT_FAILURE), "Lua just panicked\\.\nError: \noutside;");
}

} // namespace
} // namespace Quarn
