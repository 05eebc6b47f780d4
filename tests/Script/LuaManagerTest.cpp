#include "Script/LuaManager.h"

#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/Random.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Core/SystemT.h"
#include "GameObjects/Gameplay.h"
#include "LuaTestState.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaFunction.h"
#include "Script/LuaOutput.h"
#include "Script/LuaRef.h"
#include "platform/core/Clock.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace Quarn
{
namespace
{

double GlobalNumber(const char* name)
{
    lua_getglobal(CurrentLuaState(), name);
    const double value = lua_tonumber(CurrentLuaState(), -1);
    lua_pop(CurrentLuaState(), 1);
    return value;
}

bool GlobalIsNil(const char* name)
{
    lua_getglobal(CurrentLuaState(), name);
    const bool nil = lua_isnil(CurrentLuaState(), -1);
    lua_pop(CurrentLuaState(), 1);
    return nil;
}

TEST(LuaManagerTest, TheNewStateHasTheLibrariesAndTheEngineFunctions)
{
    test::LuaTestState lua;
    lua_State* state = lua.State();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(lua.Run("text = string.upper('a') .. math.floor(2.5) .. type(C_ErrorFunc) .. type(RandFloat)"),
              "");
    lua_getglobal(state, "text");
    EXPECT_STREQ(lua_tostring(state, -1), "A2functionfunction");
    lua_getglobal(state, "C_ErrorFunc");
    EXPECT_EQ(lua_tocfunction(state, -1), &C_ErrorFunc);
    lua_settop(state, 0);
}

TEST(LuaManagerTest, RandFloatScalesTheEngineGenerator)
{
    test::LuaTestState lua;
    SeedEngineRand(7);
    ASSERT_EQ(lua.Run("same = RandFloat(2, 2)\n"
                      "scaled = RandFloat(-1, 3)\n"
                      "missing = RandFloat()"),
              "");
    EXPECT_EQ(GlobalNumber("same"), 2.0);
    EXPECT_EQ(GlobalNumber("missing"), 0.0);
    SeedEngineRand(7);
    EngineRand();
    const int r = EngineRand();
    EXPECT_EQ(static_cast<float>(GlobalNumber("scaled")), static_cast<float>(-1.0 + 4.0 * r / 32767.0));

    // From the program's own start the generator gives both 0 and 32767 within 40000 values, so
    // both ends of the range come out.
    SeedEngineRand(1);
    ASSERT_EQ(lua.Run("low, high = 1, 0\n"
                      "for i = 1, 40000 do\n"
                      "  local r = RandFloat(0, 1)\n"
                      "  if r < low then low = r end\n"
                      "  if r > high then high = r end\n"
                      "end"),
              "");
    EXPECT_EQ(GlobalNumber("low"), 0.0);
    EXPECT_EQ(GlobalNumber("high"), 1.0);
}

TEST(LuaManagerTest, CreatingASecondStateIsReportedAndTheFirstIsNotLeaked)
{
    test::CapturedErrors errors;
    LuaManager manager;
    manager.CreateState();
    manager.CreateState();
    EXPECT_EQ(errors.Texts(),
              std::vector<std::string>{"\nstate was already created!\nexpression: m_state.m_state"});
    ASSERT_NE(manager.GetState(), nullptr);
    EXPECT_EQ(CurrentLuaState(), manager.GetState());
    EXPECT_NE(LuaStateGeneration(), 0u);
    CloseLuaState(manager.GetState());
    EXPECT_EQ(CurrentLuaState(), nullptr);
}

TEST(GameplayLuaTest, WarmResetReplacesTheStateAndShutdownClosesIt)
{
    std::optional<Gameplay> gameplay(std::in_place);
    EXPECT_EQ(CurrentLuaState(), nullptr) << "no state before Init";
    gameplay->Init();
    ASSERT_NE(CurrentLuaState(), nullptr);
    test::LuaTestState::RunIn("marker = 1");
    LuaRef heldValue;
    heldValue.NewTable();
    lua_getglobal(CurrentLuaState(), "print");
    LuaFunction heldFunction(-1);
    lua_pop(CurrentLuaState(), 1);

    gameplay->WarmReset();
    ASSERT_NE(CurrentLuaState(), nullptr);
    EXPECT_TRUE(GlobalIsNil("marker"));
    EXPECT_FALSE(GlobalIsNil("C_ErrorFunc"));
    EXPECT_FALSE(heldValue.IsSet());
    EXPECT_EQ(heldFunction.PushCall(), 0);

    gameplay.reset();
    EXPECT_EQ(CurrentLuaState(), nullptr);
    // The references outlive both states and are destroyed without touching either.
}

// A system standing for any engine code that calls into Lua during its update.
class ScriptCallingSystem : public SystemT<ScriptCallingSystem>
{
public:
    bool Serialize(Serializer&) override { return true; }
    const char* GetName() const override { return "Scripted"; }
    void Update(float) override
    {
        ++m_updates;
        if (m_onUpdate)
            m_onUpdate(m_updates);
    }
    void Init() override {}
    void InitResources(ResourceManager&) override {}

    std::function<void(int)> m_onUpdate;
    int m_updates = 0;
};

int CallNested(lua_State* state)
{
    return LuaBoundary(state,
                       []
                       {
                           lua_getglobal(CurrentLuaState(), "Nested");
                           const LuaFunction nested(-1);
                           lua_pop(CurrentLuaState(), 1);
                           nested.PCall(0, nested.PushCall());
                           return 0;
                       });
}

// Calls the global name the way the engine's frame does.
void CallGlobal(const char* name)
{
    lua_getglobal(CurrentLuaState(), name);
    const LuaFunction function(-1);
    lua_pop(CurrentLuaState(), 1);
    function.PCall(0, function.PushCall());
}

TEST(GameplayLuaTest, AFailureInANestedLuaCallRestartsTheGameWithAFreshState)
{
    platform::ManualClock clock{1000};
    platform::SetClock(&clock);
    test::CapturedErrors errors;
    OutputHandler::Get().ResetLuaCallDepth();
    {
        test::RunFolder runFolder({"Gameplay", "Scripted"});
        // Gameplay runs these in the first two frames after every start.
        runFolder.WriteSource("FirstFrame.lua", "");
        runFolder.WriteSource("LuaInit.lua", "");
        SystemManager systems;
        Gameplay gameplay;
        ScriptCallingSystem scripted;
        systems.AddSystem("Gameplay", &gameplay);
        systems.AddSystem("Scripted", &scripted);
        std::vector<unsigned> generations;
        scripted.m_onUpdate = [&](int update)
        {
            generations.push_back(LuaStateGeneration());
            if (update == 1)
            {
                lua_register(CurrentLuaState(), "CallNested", CallNested);
                test::LuaTestState::RunIn("function Nested() error('deep') end\n"
                                          "function Outer() CallNested() end\n"
                                          "function Frame() frames = (frames or 0) + 1 end");
                CallGlobal("Frame");
                CallGlobal("Outer");
            }
            else
            {
                // The new state starts without the old scripts; a frame call finds nothing to run.
                EXPECT_TRUE(GlobalIsNil("Frame"));
                EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
                systems.GetMessageManager().SendMessage("Quit");
            }
        };
        systems.Run();
        ASSERT_EQ(generations.size(), 2u);
        EXPECT_NE(generations[0], generations[1]);
        ASSERT_EQ(errors.Count(), 1u);
        EXPECT_TRUE(errors.Any("Failed call lua function \ntest:1: deep"));
    }
    EXPECT_EQ(CurrentLuaState(), nullptr);
    platform::SetClock(nullptr);
}

} // namespace
} // namespace Quarn
