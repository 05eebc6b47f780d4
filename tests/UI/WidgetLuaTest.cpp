#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "Script/LuaGameObjectHandleConvert.h"
#include "Script/LuaTestState.h"
#include "UI/GuiHost.h"
#include "support/RecordingGraphics.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/Label.h"
#include "widgets/Input.h"

#include <gtest/gtest.h>

#include <optional>

namespace Quarn
{
namespace
{

// Scripts driving the widgets through "gui" in a game's Lua state.
class WidgetLuaTest : public test::RecordingGameTest
{
protected:
    WidgetLuaTest()
    {
        test::RecordingGraphics::WriteModelEffect(m_folder);
        StartGame();
        Gui::Input::Reset();
        lua.emplace();
        m_graphics->GetGuiHost().PublishScriptGlobals();
        EXPECT_EQ(Run("canvas = gui.CreateCanvas(gui:GetSkin()); gui:SetCanvas(canvas)"), "");
    }

    std::string Run(const std::string& code) { return lua->Run(code); }

    std::optional<test::LuaTestState> lua;
};

TEST_F(WidgetLuaTest, EachClassAnswersItsOwnNamesThenItsBases)
{
    EXPECT_EQ(Run(R"(
        local button = gui.CreateButton(canvas)
        assert(button.Press and button.SetText and button.GetName and button.OnHoverEnter)
        local row = gui.CreateListBox(canvas):AddItem("one")
        assert(row.GetText and row.SetColumnCount and row.GetName == nil)
        assert(row:GetText(0) == "one")
        local box = gui.CreateCheckBox(canvas)
        -- OnPress is the press event here too (the base class's entry stands); Press presses.
        local event = box:OnPress()
        assert(type(event) == "userdata" and event.Add)
        box:Press()
        assert(box:IsChecked())
        local window = gui.CreateWindowControl(canvas)
        assert(window:SetBounds(Vector4(10, 20, 300, 200)))
        assert(window:X() == 10 and window:Width() == 300)
        assert(gui.ConvertToListBox(button) == nil)
        gui:SetCanvas(button)
        assert(gui:GetCanvas() == canvas)
        assert(OR(Pos.Left, Pos.Top) == 10)
    )"),
              "");
}

TEST_F(WidgetLuaTest, ObjectsKeepTheirIdentityAndTakeTheTypeTheyWereLastPushedAs)
{
    EXPECT_EQ(Run(R"(
        local label = gui.CreateLabel(canvas)
        label:SetName("caption")
        local found = canvas:FindChildByName("caption")
        assert(found.GetName and found.SetText == nil)
        local typed = gui.ConvertToLabel(found)
        assert(typed.SetText)
        typed:SetText("hi")
        assert(typed:GetText() == "hi")
        -- The earlier base object still works on the same control.
        assert(found:GetName() == "caption")
        local again = canvas:FindChildByName("caption")
        assert(again.SetText == nil and again ~= typed)
    )"),
              "");
}

TEST_F(WidgetLuaTest, VectorsColoursAndNumbersConvertAndClamp)
{
    EXPECT_EQ(Run(R"(
        local label = gui.CreateLabel(canvas)
        label:SetPadding(Vector4(1, 2, 3, 4))
        local p = label:GetPadding()
        assert(p:X() == 1 and p:Y() == 2 and p:Z() == 3 and p:W() == 4)
        local colour = gui.CreateColor()
        colour:SetR(0.999)
        colour:SetG(2.0)
        colour:SetB(-1)
        label:SetTextColor(colour)
        local back = label:TextColor()
        assert(math.abs(back:GetR() - 254 / 255) < 1e-6, back:GetR())
        assert(back:GetG() == 1 and back:GetB() == 0)
        label:SetWidth(1e30)
        assert(label:Width() == 1000000)
        label:SetWidth(0 / 0)
        assert(label:Width() == 0)
        label:SetUserData({})
        assert(type(label:GetUserData()) == "userdata")
    )"),
              "");
}

TEST_F(WidgetLuaTest, AnotherKindWhereAControlGoesIsAnError)
{
    const std::string error = Run("gui.CreateButton(gui.CreateFont())");
    EXPECT_NE(error.find("control"), std::string::npos) << error;
    EXPECT_NE(Run("canvas:SetParent(gui:GetSkin())"), "");
    EXPECT_EQ(Run("gui.CreateButton(nil)"), "") << "no parent is fine";
}

TEST_F(WidgetLuaTest, EventsCallTheirFunctionsInOrderWithoutArguments)
{
    EXPECT_EQ(Run(R"(
        calls = {}
        button = gui.CreateButton(canvas)
        button:SetBounds(Vector4(0, 0, 100, 20))
        button:OnPress():Add(function(...) calls[#calls + 1] = "f" .. select("#", ...) end)
        button:OnPress():Add(function() calls[#calls + 1] = "g" end)
    )"),
              "");
    auto* canvas = m_graphics->GetGuiHost().GetCanvas();
    canvas->RenderCanvas();
    canvas->InputMouseMoved(10, 10, 0, 0);
    canvas->InputMouseButton(0, true);
    canvas->InputMouseButton(0, false);
    EXPECT_EQ(Run("assert(#calls == 2 and calls[1] == 'f0' and calls[2] == 'g', table.concat(calls, ','))"),
              "");
    EXPECT_EQ(Run("button:OnPress():Call(button) assert(#calls == 4)"), "");
}

TEST_F(WidgetLuaTest, RemovingAControlFromItsOwnEventDeletesItAfterTheEvent)
{
    EXPECT_EQ(Run(R"(
        button = gui.CreateButton(canvas)
        button:OnPress():Add(function()
            button:OnPress():RemoveHandler(button)
            assert(button:GetParent() ~= nil, "still there inside its event")
        end)
        button:Press()
        assert(button:GetParent() ~= nil)
        canvas:ProcessDelayedDeletes()
        assert(button:GetParent() == nil)
    )"),
              "");
}

TEST_F(WidgetLuaTest, ADeletedControlsObjectsDoNothing)
{
    EXPECT_EQ(Run(R"(
        local button = gui.CreateButton(canvas)
        local base = canvas:GetControlAt(5, 5)
        button:SetName("gone")
        button:OnPress():Add(function() error("never") end)
        button:DelayedDelete()
        canvas:ProcessDelayedDeletes()
        assert(button:GetName() == nil)
        assert(button:Width() == 0 and button:IsHovered() == false)
        button:SetText("ignored")
        button:Press()
        assert(button:OnPress() == nil)
        assert(base:GetName() == nil)
    )"),
              "");
}

TEST_F(WidgetLuaTest, ANewLuaStateRegistersTheClassesAgain)
{
    EXPECT_EQ(Run("assert(gui.CreateButton(canvas).Press)"), "");
    lua.reset();
    lua.emplace();
    m_graphics->GetGuiHost().PublishScriptGlobals();
    EXPECT_EQ(Run("local c = gui.CreateCanvas(gui:GetSkin()) assert(gui.CreateButton(c).Press)"), "");
}

TEST_F(WidgetLuaTest, TweakOpensAnInspectorOfAnObjectAndStopTweakClosesItOnce)
{
    GameObjectManager& objects = m_systems->GetGameObjectManager();
    GameObject* object = objects.CreateIntern(new GameObject());
    ASSERT_NE(object, nullptr);
    LuaConverter<GameObjectHandle>::Push(lua->State(), object->GetHandle());
    lua_setglobal(lua->State(), "thing");
    EXPECT_EQ(Run(R"(
        inspector = gui:Tweak(thing, canvas)
        assert(inspector and inspector.Expand)
        inspector:Expand()
        assert(gui:Tweak(nil, canvas) == nil)
    )"),
              "");
    m_graphics->GetGuiHost().Update(1.0f);
    objects.Destroy(object->GetHandle());
    objects.FrameEnd();
    // The object is gone: the rows no longer read it.
    m_graphics->GetGuiHost().Update(1.0f);
    EXPECT_EQ(Run(R"(
        gui:StopTweak(inspector)
        gui:StopTweak(inspector)
        inspector:Expand()
    )"),
              "");
}

} // namespace
} // namespace Quarn
