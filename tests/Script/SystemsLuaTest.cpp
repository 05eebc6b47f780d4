#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Core/SystemT.h"
#include "Core/TimeManager.h"
#include "GameObjects/Gameplay.h"
#include "Script/LuaOutput.h"
#include "Script/LuaState.h"
#include "platform/core/Clock.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Quarn
{
namespace
{

// A system that notes, in each resource phase, which systems the scripts can see by their global
// names and whether each global is that very system.
class SeeingSystem : public SystemT<SeeingSystem>
{
public:
    SeeingSystem(const char* name, std::vector<std::string>& journal) : m_name(name), m_journal(journal) {}

    bool Serialize(Serializer&) override { return true; }
    const char* GetName() const override { return m_name; }
    void Update(float) override {}
    void Init() override {}
    void InitResources(ResourceManager&) override
    {
        lua_State* state = CurrentLuaState();
        std::string seen = m_name;
        for (const char* global : {"physics", "gameplay", "input"})
        {
            lua_getglobal(state, global);
            seen += std::string(" ") + global + ":" + luaL_typename(state, -1);
            lua_pop(state, 1);
        }
        std::string own = m_name;
        own[0] = static_cast<char>(own[0] - 'A' + 'a');
        lua_getglobal(state, own.c_str());
        PushLua(state);
        seen += lua_rawequal(state, -1, -2) ? " self" : " other";
        lua_pop(state, 2);
        m_journal.push_back(seen);
    }

private:
    const char* m_name;
    std::vector<std::string>& m_journal;
};

// Owns the Lua state the way the gameplay system does: made at start, made anew on a warm reset.
// Its first update asks for one warm reset; the next one quits.
class StateOwner : public SystemT<StateOwner>
{
public:
    ~StateOwner() override { CloseLuaState(CurrentLuaState()); }

    bool Serialize(Serializer&) override { return true; }
    const char* GetName() const override { return "Gameplay"; }
    void Update(float) override
    {
        if (m_resets++ == 0)
            throw RestartGameException();
        SystemManager::Instance()->GetMessageManager().SendMessage("Quit");
    }
    void Init() override { OpenState(); }
    void InitResources(ResourceManager&) override {}
    void WarmReset() override
    {
        CloseLuaState(CurrentLuaState());
        OpenState();
    }

private:
    static void OpenState()
    {
        lua_State* state = NewLuaState();
        SetCurrentLuaState(state);
        luaL_openlibs(state);
    }

    int m_resets = 0;
};

TEST(SystemsLuaTest, SystemsAreGlobalsOfTheirLowerCasedNamesInEveryResourcePhase)
{
    platform::ManualClock clock{1000};
    platform::SetClock(&clock);
    OutputHandler::Get().ResetLuaCallDepth();
    test::CapturedErrors errors;
    std::vector<std::string> journal;
    {
        SystemManager manager;
        SeeingSystem input("Input", journal);
        SeeingSystem physics("Physics", journal);
        StateOwner gameplay;
        // Each system is published just before its own resource work, in init order.
        manager.AddSystem("Gameplay", &gameplay);
        manager.AddSystem("Physics", &physics);
        manager.AddSystem("Input", &input);
        manager.Run();
    }
    platform::SetClock(nullptr);
    const std::vector<std::string> phase = {
        "Physics physics:userdata gameplay:userdata input:nil self",
        "Input physics:userdata gameplay:userdata input:userdata self",
    };
    std::vector<std::string> expected = phase;
    expected.insert(expected.end(), phase.begin(), phase.end());
    EXPECT_EQ(journal, expected);
    // The test systems have no settings resources; nothing else may be reported.
    for (const std::string& error : errors.Texts())
        EXPECT_NE(error.find("No resource with name"), std::string::npos) << error;
    EXPECT_EQ(CurrentLuaState(), nullptr);
}

// Runs code in the current state; returns the error text, empty on success.
std::string RunLua(const char* code)
{
    lua_State* state = CurrentLuaState();
    if (luaL_dostring(state, code) == 0)
        return {};
    std::string error = lua_tostring(state, -1);
    lua_pop(state, 1);
    return error;
}

TEST(SystemsLuaTest, ScriptsReachTimeAndMessagesInEveryNewState)
{
    platform::ManualClock clock{1000};
    platform::SetClock(&clock);
    OutputHandler::Get().ResetLuaCallDepth();
    test::CapturedErrors errors;
    {
        SystemManager manager;
        Gameplay gameplay;
        gameplay.Init();
        for (int state = 0; state < 2; ++state)
        {
            gameplay.InitResources(manager.GetResourceManager());
            EXPECT_EQ(RunLua("time:SetPause()\n"
                             "messages:RegisterListener('Hello', function(n) heard = n end)"),
                      "");
            EXPECT_EQ(manager.GetTimeManager().GetCurrentTimer(), manager.GetTimeManager().GetPauseTimer());
            manager.GetMessageManager().SendMessage("Hello", 5);
            EXPECT_EQ(RunLua("assert(heard == 5)"), "") << "state " << state;
            manager.GetTimeManager().SetGame();
            gameplay.WarmReset();
        }
    }
    platform::SetClock(nullptr);
    EXPECT_EQ(errors.Count(), 0u);
}

} // namespace
} // namespace Quarn
