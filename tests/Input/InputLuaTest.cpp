#include "InputTestSupport.h"

#include "Core/TimeManager.h"
#include "Script/LuaTestState.h"
#include "platform/window/VirtualKeys.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

namespace Quarn::test
{
namespace
{

using platform::PadGamepad;
using platform::WindowMessage;
using platform::WindowMessageId;

class InputLuaTest : public InputFixture
{
protected:
    InputLuaTest()
    {
        StartWindow();
        m_input->PushLua(m_lua.State());
        lua_setglobal(m_lua.State(), "input");
    }

    // Runs a chunk and fails the test with its error.
    void Lua(const std::string& code)
    {
        const std::string error = m_lua.Run(code);
        EXPECT_EQ(error, "") << code;
    }

    LuaTestState m_lua;
};

TEST_F(InputLuaTest, TheNameTablesAreGlobalsAndTheRumbleTypesAlsoFieldsOfInput)
{
    Lua(R"(
        assert(KEY_Pressed + KEY_Released == 10)
        assert(KEY_Up == 0 and KEY_Down == 4)
        assert(MOUSE_Left == 255 and MOUSE_X2 == 259 and MOUSE_Count == 260)
        assert(XBOX_A == 10 and XBOX_DPad_Right == 3 and XBOX_Count == 14)
        assert(STICK_Right == 1 and STICK_Count == 2 and TRIGGER_Left == 0 and TRIGGER_Count == 2)
        assert(RUMBLE_SineSharp == 0 and RUMBLE_Linear == 1 and RUMBLE_Smooth == 2)
        assert(input.RUMBLETYPE_Both == 2 and RUMBLETYPE_Both == 2)
        assert(input.RUMBLETYPE_Light == 0 and input.RUMBLETYPE_Heavy == 1)
        assert(VK_F4 == 115 and VK_OEM_FJ_LOYA == 149 and VK_KANJI == 25 and VK_OEM_CLEAR == 254)
        local names = 0
        for name, value in pairs(_G) do
            if type(name) == "string" and name:sub(1, 3) == "VK_" then
                names = names + 1
                assert(value < 146 or value > 148, name)
            end
        end
        assert(names == 154, names)
    )");
}

TEST_F(InputLuaTest, ScriptKeyListenersHearStatesAsNumbersAndKeysAsCharactersOrCodes)
{
    Lua(R"(
        log = {}
        input:ListenKeyboard("K", function(state) log[#log + 1] = "K" .. state end)
        input:ListenKeyboardPressed(VK_SPACE, function() log[#log + 1] = "space" end)
        input:ListenKeyboardReleased(75, function() log[#log + 1] = "K up, held " .. tostring(input:IsKeyDown("K")) end)
        input:ListenAnyKey(function() log[#log + 1] = "any" end)
    )");
    Post(WindowMessage::Key(WindowMessageId::KeyDown, 'K'));
    Post(WindowMessage::Key(WindowMessageId::KeyDown, platform::vk::Space));
    Frame();
    Lua(R"(assert(input:IsKeyDown("K") and input:IsKeyDown(VK_SPACE) and not input:IsKeyDown("L")))");
    Post(WindowMessage::Key(WindowMessageId::KeyUp, 'K'));
    Frame();
    Lua(R"(
        local text = table.concat(log, ",")
        assert(text == "any,K2,any,space,K4,K8,K up, held false", text)
    )");
}

TEST_F(InputLuaTest, ScriptPadListenersTriggerValuesAndRumble)
{
    m_pads.Connect(1);
    m_input->ScanControllers();
    Lua(R"(
        log = {}
        input:ListenControllerButton(1, XBOX_B, function(state) log[#log + 1] = "B" .. state end)
        input:ListenControllerButtonPressed(1, XBOX_B, function() log[#log + 1] = "B pressed" end)
        input:ListenControllerLTriggerMove(1, function(value, delta) log[#log + 1] = "moved " .. value .. " " .. delta end)
        input:ListenControllerLTriggerTapped(1, function() log[#log + 1] = "tap" end)
        calls = 0
        input:Rumble(1, function(dt, done)
            calls = calls + 1
            assert(done == false)
            if calls > 1 then return -1 end
            return 0.5
        end, input.RUMBLETYPE_Heavy)
    )");
    m_systems->GetTimeManager().GetCurrentTimer()->SetDT(0.1f);
    PadGamepad gamepad;
    gamepad.buttons = platform::padbutton::B;
    gamepad.leftTrigger = 255;
    m_pads.Move(1, gamepad);
    Frame();
    EXPECT_EQ(m_pads.Vibration(1).leftMotorSpeed, 32767);
    Frame();
    EXPECT_EQ(m_pads.Vibration(1).leftMotorSpeed, 0);
    Lua(R"(
        local text = table.concat(log, ",")
        assert(text == "B2,B pressed,B4,moved 1 1,tap,B4", text)
        assert(calls == 2, calls)
        assert(input:GetLTrigger(1) == 1 and input:GetRTrigger(1) == 0)
    )");
    EXPECT_TRUE(m_input->GetListeners().rumble[RUMBLETYPE_Heavy][1].empty());
}

TEST_F(InputLuaTest, NumbersOutOfRangeFromScriptsAreLuaErrors)
{
    struct Case
    {
        const char* code;
        const char* error;
    };
    const Case cases[] = {
        {"input:ListenControllerButton(4, XBOX_A, print)", "bad argument #2 (pad number 0-3 expected)"},
        {"input:ListenControllerButtonDown(-1, XBOX_A, print)", "bad argument #2 (pad number 0-3 expected)"},
        {"input:ListenControllerButtonPressed(0, XBOX_Count, print)",
         "bad argument #3 (pad button expected)"},
        {"input:ListenControllerButtonReleased(0, -1, print)", "bad argument #3 (pad button expected)"},
        {"input:Rumble(7, function() return 0 end, 0)", "bad argument #2 (pad number 0-3 expected)"},
        {"input:GetLTrigger(4)", "bad argument #2 (pad number 0-3 expected)"},
        {"input:ListenKeyboard('A', 5)", "bad argument #3 (function expected)"},
        {"input.ListenAnyKey(print)", "bad argument #1 (Input expected)"},
    };
    for (const Case& c : cases)
    {
        const std::string error = m_lua.Run(c.code);
        EXPECT_NE(error.find(c.error), std::string::npos) << c.code << " -> " << error;
    }
    for (const auto& list : m_input->GetListeners().controllerButtons)
        EXPECT_TRUE(list.empty());
    // A rumble type that is none of the three registers nothing, without an error.
    Lua("input:Rumble(0, function() return 1 end, 3)");
    for (const auto& byPad : m_input->GetListeners().rumble)
        EXPECT_TRUE(byPad[0].empty());
}

// A rumble type is checked while it is still the script's number: none of these registers anything
// (2^32 once wrapped to a light rumble, -1 became a value the type does not have). Strengths that are
// not finite keep the motors within their range.
TEST_F(InputLuaTest, RumbleWithBadNumbers)
{
    m_pads.Connect(0);
    m_input->ScanControllers();
    for (const char* type :
         {"-1", "3", "2^31", "2^32", "-2^31", "2^63", "-2^63", "0/0", "1/0", "-1/0", "1e300"})
        Lua(std::string("input:Rumble(0, function() return 1 end, ") + type + ")");
    for (const auto& byPad : m_input->GetListeners().rumble)
        EXPECT_TRUE(byPad[0].empty());

    const struct
    {
        const char* strength;
        const char* type;
        std::uint16_t heavy;
        std::uint16_t light;
        bool stays;
    } cases[] = {
        {"0/0", "RUMBLETYPE_Heavy", 0, 0, true},       {"1/0", "RUMBLETYPE_Heavy", 65534, 0, true},
        {"1e300", "RUMBLETYPE_Light", 0, 65534, true}, {"-1/0", "RUMBLETYPE_Both", 65534, 0, false},
        {"-1e300", "RUMBLETYPE_Light", 0, 0, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.strength);
        m_input->StopRumble();
        Lua(std::string("input:Rumble(0, function() return ") + c.strength + " end, " + c.type + ")");
        Frame();
        EXPECT_EQ(m_pads.Vibration(0).leftMotorSpeed, c.heavy);
        EXPECT_EQ(m_pads.Vibration(0).rightMotorSpeed, c.light);
        std::size_t entries = 0;
        for (const auto& byPad : m_input->GetListeners().rumble)
            entries += byPad[0].size();
        EXPECT_EQ(entries, c.stays ? 1u : 0u);
    }
}

TEST_F(InputLuaTest, SavedStatesFromScriptsAndAWarmResetDropsTheirFunctions)
{
    int engine = 0;
    m_input->ListenKeyboardPressed('P', [&] { ++engine; });
    Lua(R"(
        count = 0
        input:ListenKeyboardPressed("P", function() count = count + 1 end)
        input:SaveState("FreshState")
        input:SaveState("Menu")
        input:ListenKeyboardPressed("P", function() count = count + 100 end)
        input:LoadState("Menu")
        assert(input:CurrentState() == "Menu")
    )");
    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'P'));
    Lua("assert(count == 1, count)");
    EXPECT_EQ(engine, 1);

    m_input->WarmReset();
    Send(WindowMessage::Key(WindowMessageId::KeyUp, 'P'));
    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'P'));
    Lua("assert(count == 1, count)");
    EXPECT_EQ(engine, 2);
    EXPECT_EQ(m_input->GetListeners().keys['P'].size(), 1u);
}

TEST_F(InputLuaTest, AFailingScriptListenerIsReportedAndTheOthersStillRun)
{
    CapturedErrors errors;
    Lua(R"(
        heard = 0
        input:ListenKeyboardPressed("F", function() error("broken listener") end)
        input:ListenKeyboardPressed("F", function() heard = heard + 1 end)
    )");
    Post(WindowMessage::Key(WindowMessageId::KeyDown, 'F'));
    Frame();
    Lua("assert(heard == 1, heard)");
    EXPECT_TRUE(errors.Any("broken listener"));
}

TEST_F(InputLuaTest, ScriptMouseAndStickListenersReceivePositionsAsVectors)
{
    StartWindow(400, 200);
    m_pads.Connect(0);
    m_input->ScanControllers();
    Lua(R"(
        log = {}
        input:ListenMouseButton(MOUSE_Left, function(state, at) log[#log + 1] = state .. "@" .. at:X() .. "," .. at:Y() end)
        input:ListenMouseButtonReleased(MOUSE_Left, function(at) log[#log + 1] = "up@" .. at:X() end)
        input:ListenMouseMove(function(at, by) log[#log + 1] = "move " .. at:X() .. "," .. at:Y() .. " by " .. by:X() end)
        input:ListenControllerLThumb(0, function(at, by) log[#log + 1] = "stick " .. at:Y() .. " by " .. by:Y() end)
    )");
    Send(WindowMessage::Mouse(WindowMessageId::MouseMove, 100, 50));
    Send(WindowMessage::Mouse(WindowMessageId::MouseMove, 200, 50));
    Send(WindowMessage::Mouse(WindowMessageId::LeftButtonDown, 200, 50));
    Send(WindowMessage::Mouse(WindowMessageId::LeftButtonUp, 200, 50));
    PadGamepad gamepad;
    gamepad.thumbLY = 32767;
    m_pads.Move(0, gamepad);
    Frame();
    Lua(R"(
        local text = table.concat(log, ";")
        assert(text == "move 0.25,0.25 by 0;move 0.5,0.25 by 0.25;2@0.5,0.25;8@0.5,0.25;up@0.5;stick 1 by 1", text)
        assert(input:GetLThumb(0):Y() == 1 and input:GetRThumb(0):X() == 0)
    )");
    const std::string error = m_lua.Run("input:ListenMouseButtonDown(260, print)");
    EXPECT_NE(error.find("bad argument #2 (mouse button expected)"), std::string::npos) << error;
}

} // namespace
} // namespace Quarn::test
