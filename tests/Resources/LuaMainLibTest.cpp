#include "Resources/LuaMainLib.h"
#include "Core/Matrix4.h"
#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Resources/LuaRunner.h"
#include "Resources/ResourceManager.h"
#include "ScopedEnvironment.h"
#include "Script/LuaTestState.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Quarn
{
namespace
{

void ReleaseAllKeys()
{
    for (char key : {'W', 'A', 'S', 'D'})
        LuaMainLib::KeysDown(key, false);
}

Vector2 Degrees(float degrees)
{
    const float radians = degrees / 180.0f * 3.1415927f;
    return {std::cos(radians), std::sin(radians)};
}

TEST(LuaMainLib, KeysDownGivesTheDirectionOfTheHeldKeys)
{
    struct Case
    {
        const char* what;
        std::vector<std::pair<char, bool>> presses;
        Vector2 direction;
    };
    const Case cases[] = {
        {"W", {{'W', true}}, {0.0f, 1.0f}},
        {"A by its character code", {{65, true}}, {-1.0f, 0.0f}},
        {"D", {{'D', true}}, {1.0f, 0.0f}},
        {"W+D", {{'W', true}, {'D', true}}, Degrees(45.0f)},
        {"S+D", {{'S', true}, {'D', true}}, Degrees(315.0f)},
        {"A+S", {{'A', true}, {'S', true}}, Degrees(225.0f)},
        {"W+S", {{'W', true}, {'S', true}}, {0.0f, 0.0f}},
        {"A+D", {{'A', true}, {'D', true}}, {0.0f, 0.0f}},
        {"W+S+A", {{'W', true}, {'S', true}, {'A', true}}, {0.0f, 0.0f}},
        {"all four", {{'W', true}, {'A', true}, {'S', true}, {'D', true}}, {0.0f, 0.0f}},
        {"lower-case w", {{'w', true}}, {0.0f, 0.0f}},
        {"W then lower-case w released", {{'W', true}, {'w', false}}, {0.0f, 1.0f}},
        {"W pressed and released", {{'W', true}, {'W', false}}, {0.0f, 0.0f}},
        {"S+D, S released", {{'S', true}, {'D', true}, {'S', false}}, {1.0f, 0.0f}},
        {"other key", {{'Q', true}}, {0.0f, 0.0f}},
    };
    for (const Case& c : cases)
    {
        ReleaseAllKeys();
        Vector2 direction;
        for (const auto& [key, down] : c.presses)
            direction = LuaMainLib::KeysDown(key, down);
        EXPECT_NEAR(direction.x, c.direction.x, 1e-6f) << c.what;
        EXPECT_NEAR(direction.y, c.direction.y, 1e-6f) << c.what;
    }
    ReleaseAllKeys();
}

TEST(LuaMainLib, FileNameFromPathKeepsTheLastComponentWithoutItsExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Resources/Levels/one.xml", "one"},
        {"C:\\Game\\Levels\\two.xml", "two"},
        {"mixed\\folders/three.lua", "three"},
        {"archive.tar.gz", "archive.tar"},
        {"folder.d/README", "README"},
        {"noextension", "noextension"},
        {"trailing/", ""},
        {"", ""},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(LuaMainLib::FileNameFromPath(path), name) << path;
}

TEST(LuaMainLib, AnglesAndVectors)
{
    const Vector2 up = LuaMainLib::RadToVec(3.1415927f / 2.0f);
    EXPECT_NEAR(up.x, 0.0f, 1e-6f);
    EXPECT_NEAR(up.y, 1.0f, 1e-6f);
    EXPECT_NEAR(LuaMainLib::VecToRad({-1.0f, 0.0f}), 3.1415927f, 1e-6f);
    EXPECT_NEAR(LuaMainLib::VecToDeg({0.0f, -2.0f}), -90.0f, 1e-5f);
    EXPECT_NEAR(LuaMainLib::VecToDeg({1.0f, 1.0f}), 45.0f, 1e-5f);
}

class LuaMainLibSystemsTest : public testing::Test
{
protected:
    test::RunFolder m_folder;
    test::CapturedErrors m_errors;
    SystemManager m_systems;
    MessageManager& Messages() { return m_systems.GetMessageManager(); }
};

TEST_F(LuaMainLibSystemsTest, DrawLineSendsAFlatLineInDebugGreen)
{
    std::vector<std::string> seen;
    Messages().RegisterListener<void(const Vector3&, const Vector3&, const RGBA&)>(
        "DrawDebugLine",
        [&](const Vector3& from, const Vector3& to, const RGBA& colour)
        {
            unsigned char bytes[4];
            std::memcpy(bytes, &colour, 4);
            char text[128];
            std::snprintf(text, sizeof(text), "(%g %g %g %g) (%g %g %g %g) %02X %02X %02X %02X", from.x,
                          from.y, from.z, from.w, to.x, to.y, to.z, to.w, bytes[0], bytes[1], bytes[2],
                          bytes[3]);
            seen.emplace_back(text);
        });
    LuaMainLib::DrawLine({1.0f, 2.0f}, {-3.0f, 4.5f});
    Vector3 from(1.0f, 2.0f, 3.0f);
    from.w = 9.0f;
    LuaMainLib::DrawDebugLine(from, Vector3(4.0f, 5.0f, 6.0f), RGBA::FromARGB(1, 2, 3, 4));
    EXPECT_EQ(seen, (std::vector<std::string>{"(1 2 0 0) (-3 4.5 0 0) 76 FF 00 FF",
                                              "(1 2 3 0) (4 5 6 0) 04 03 02 01"}));
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(LuaMainLibSystemsTest, DebugModelsAreScaledTurnedAndMoved)
{
    std::vector<std::string> models;
    Matrix4 world;
    Messages().RegisterListener<void(const std::string&, const Matrix4&, const RGBA&)>(
        "DrawDebugModel",
        [&](const std::string& model, const Matrix4& matrix, const RGBA&)
        {
            models.push_back(model);
            world = matrix;
        });
    LuaMainLib::DrawDebugCube(Vector3(), Vector3(1, 1, 1), 0.0f, RGBA());
    LuaMainLib::DrawDebugRect(Vector3(10.0f, 20.0f, 0.0f), Vector3(2.0f, 3.0f, 1.0f), 3.1415927f / 2.0f,
                              RGBA());
    EXPECT_EQ(models, (std::vector<std::string>{"Cube", "Rect"}));

    // The unit x axis is scaled by 2, turned a quarter to +y, then moved.
    const Vector3 tip = Vector3(1.0f, 0.0f, 0.0f);
    const float x = tip.x * world(0, 0) + tip.y * world(1, 0) + tip.z * world(2, 0) + world(3, 0);
    const float y = tip.x * world(0, 1) + tip.y * world(1, 1) + tip.z * world(2, 1) + world(3, 1);
    EXPECT_NEAR(x, 10.0f, 1e-5f);
    EXPECT_NEAR(y, 22.0f, 1e-5f);
}

TEST_F(LuaMainLibSystemsTest, ErrorsAreReportedAsWrittenAndRestartInsideLua)
{
    LuaMainLib::Error("100% broken %d");
    LuaMainLib::ErrorIf(false, "not shown");
    LuaMainLib::ErrorIf(true, "shown %s");
    ASSERT_EQ(m_errors.Count(), 2u);
    EXPECT_EQ(m_errors.Texts()[0], "100% broken %d");
    EXPECT_NE(m_errors.Texts()[1].find("shown %s"), std::string::npos);
    EXPECT_NE(m_errors.Texts()[1].find("expression: cond"), std::string::npos);

    LuaCallDepthScope inLua;
    EXPECT_THROW(LuaMainLib::Error("stop"), RestartGameException);
    EXPECT_THROW(LuaMainLib::ErrorIf(true, "stop"), RestartGameException);
    EXPECT_NO_THROW(LuaMainLib::ErrorIf(false, "go on"));
    EXPECT_THROW(LuaMainLib::RestartProgram(), RestartGameException);
}

TEST_F(LuaMainLibSystemsTest, PrintWritesTheTextAsItStands)
{
    test::TempDir dir;
    test::ScopedWorkingDir cwd(dir.Path());
    {
        OutputHandler output(true);
        LuaMainLib::Print("50% done %s");
    }
    EXPECT_EQ(test::TempDir::Read(dir / "RunLog.txt"), "50% done %s\n");
}

// The library as scripts see it: the global "qMain" of the engine's state.
class MainLibScriptsTest : public testing::Test
{
protected:
    MainLibScriptsTest()
    {
        m_environment.Set("XDG_DATA_HOME", m_data.Path().string());
        m_folder.WriteSource("scripts/Answer.lua", "return 42");
        m_folder.WriteSource("scripts/Many.lua", "return 1, 2, 3");
        m_folder.WriteSource("scripts/Quiet.lua", "local x = 1");
        m_folder.WriteSource("scripts/SavesAFunction.lua", "qMain.SaveTable({ f = print }, 'Slot')");
        m_folder.WriteSource("scripts/SavesAndLoads.lua",
                             "qMain.SaveTable({ level = 3, name = 'Ann' }, 'Slot') "
                             "return qMain.LoadTable('Slot').level");
        m_systems.emplace();
        m_systems->GetResourceManager().AddCopiedExtension("lua");
    }

    test::RunFolder m_folder;
    test::ScopedEnvironment m_environment;
    test::TempDir m_data;
    test::CapturedErrors m_errors;
    std::optional<SystemManager> m_systems;
    test::LuaTestState m_lua;
};

TEST_F(MainLibScriptsTest, TablesSaveAndLoadFromScripts)
{
    EXPECT_EQ(m_lua.Run("qMain.SaveTable({ a = 1, b = { true } }, 'Round') u = qMain.LoadTable('Round')"),
              "");
    EXPECT_TRUE(m_lua.Holds("u.a == 1 and u.b[1] == true"));
    EXPECT_TRUE(m_lua.Holds("qMain.LoadTable('Fresh').IAmWusk_IAmInYourSaveFile == 'Awesome!'"));
    EXPECT_TRUE(std::filesystem::exists(m_data / "Tavu/Fresh.xml"));
    EXPECT_EQ(lua_gettop(m_lua.State()), 0);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(MainLibScriptsTest, RunFileHandsBackTheScriptsLastResult)
{
    EXPECT_TRUE(m_lua.Holds("qMain.RunFile('Answer') == 42"));
    EXPECT_TRUE(m_lua.Holds("qMain.RunFile('Many') == 3"));
    EXPECT_TRUE(m_lua.Holds("qMain.RunFile('Quiet') == nil"));
    EXPECT_TRUE(m_lua.Holds("select('#', qMain.RunFile('Quiet')) == 0"));
    EXPECT_EQ(m_errors.Count(), 0u);
    EXPECT_TRUE(m_lua.Holds("qMain.RunFile('Missing') == nil"));
    EXPECT_TRUE(m_errors.Any("Failed to find any file named \"Missing\""));
}

TEST_F(MainLibScriptsTest, AScriptThatSavesSomethingUnstorableRestartsTheGameAndKeepsTheSave)
{
    ResourceManager& resources = m_systems->GetResourceManager();
    EXPECT_EQ(LuaRunner::RunFile("SavesAndLoads", resources), 1);
    EXPECT_EQ(lua_tonumber(m_lua.State(), -1), 3.0);
    lua_settop(m_lua.State(), 0);
    const std::string saved = test::TempDir::Read(m_data / "Tavu/Slot.xml");

    EXPECT_THROW(LuaRunner::RunFile("SavesAFunction", resources), RestartGameException);
    EXPECT_TRUE(m_errors.Any("Unable to serialize functions"));
    EXPECT_EQ(test::TempDir::Read(m_data / "Tavu/Slot.xml"), saved);
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
}

TEST_F(MainLibScriptsTest, TheLibraryAnswersScriptsThroughQMain)
{
    m_folder.WriteSource("scripts/Stops.lua", "qMain.ErrorIf(false, 'fine') qMain.Error('stopped at 100%')");
    m_folder.WriteSource("scripts/Restarts.lua", "qMain.RestartProgram() return 1");
    m_systems.reset();
    m_systems.emplace();
    m_systems->GetResourceManager().AddCopiedExtension("lua");

    EXPECT_TRUE(m_lua.Holds(R"(qMain.FileNameFromPath("C:\\Levels/one.two.xml") == "one.two")"));
    EXPECT_TRUE(
        m_lua.Holds("qMain.Break() == nil and qMain.Print('50%') == nil and qMain.PrintStrong('!') == nil"));
    EXPECT_EQ(m_errors.Count(), 0u);

    ResourceManager& resources = m_systems->GetResourceManager();
    EXPECT_THROW(LuaRunner::RunFile("Stops", resources), RestartGameException);
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_EQ(m_errors.Texts()[0], "stopped at 100%");
    EXPECT_THROW(LuaRunner::RunFile("Restarts", resources), RestartGameException);
    EXPECT_EQ(m_errors.Count(), 1u);
    EXPECT_EQ(lua_gettop(m_lua.State()), 0);
}

TEST_F(MainLibScriptsTest, VectorFunctionsTakeAndGiveLuaVectors)
{
    std::vector<std::string> lines;
    m_systems->GetMessageManager().RegisterListener<void(const Vector3&, const Vector3&, const RGBA&)>(
        "DrawDebugLine",
        [&](const Vector3& from, const Vector3& to, const RGBA& colour) {
            lines.push_back(std::to_string(from.z) + " " + std::to_string(to.x) + " " +
                            std::to_string(colour.G()));
        });

    EXPECT_EQ(m_lua.Run("v = qMain.KeysDown('W', true) w = qMain.KeysDown('D', true) "
                        "qMain.KeysDown('W', false) qMain.KeysDown('D', false)"),
              "");
    EXPECT_TRUE(m_lua.Holds("math.abs(v:X() - 0) < 1e-6 and math.abs(v:Y() - 1) < 1e-6"));
    EXPECT_TRUE(m_lua.Holds("math.abs(qMain.VecToDeg(w) - 45) < 1e-4"));
    EXPECT_TRUE(m_lua.Holds("math.abs(qMain.VecToRad(qMain.RadToVec(1)) - 1) < 1e-6"));
    EXPECT_EQ(m_lua.Run("qMain.DrawLine(Vector2(1, 2), Vector3(3, 4, 5))"), "");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "0.000000 3.000000 255");
    EXPECT_NE(m_lua.Run("qMain.DrawLine(1, 2)").find("Vector expected"), std::string::npos);
    EXPECT_EQ(m_errors.Count(), 0u);
}

} // namespace
} // namespace Quarn
