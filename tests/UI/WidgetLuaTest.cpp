#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "Input/Input.h"
#include "Script/LuaGameObjectHandleConvert.h"
#include "Script/LuaTestState.h"
#include "UI/GuiHost.h"
#include "support/RecordingGraphics.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Controls/Label.h"
#include "widgets/Input.h"
#include "widgets/WidgetTest.h"

#include <gtest/gtest.h>

#include <initializer_list>
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

    struct ErrorCase
    {
        const char* code;
        const char* error;
    };
    // Each piece of code fails with an error that holds its text.
    void ExpectErrors(std::initializer_list<ErrorCase> cases)
    {
        for (const ErrorCase& c : cases)
        {
            const std::string error = Run(c.code);
            EXPECT_NE(error.find(c.error), std::string::npos) << c.code << ": " << error;
        }
    }

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

// A script may keep any Lua object of a control, its events' included, after the control is gone.
TEST_F(WidgetLuaTest, EveryLuaObjectOfADestroyedControlGoesInertItsEventsToo)
{
    EXPECT_EQ(Run(R"(
        local other = gui.CreateButton(canvas)
        local events = {
            { gui.CreateButton, "OnPress" }, { gui.CreateLabel, "OnHoverEnter" },
            { gui.CreateHorizontalSlider, "OnValueChanged" }, { gui.CreateListBox, "OnRowSelected" },
            { gui.CreateWindowControl, "OnResize" }, { gui.CreateCheckBox, "OnCheckChanged" },
            { gui.CreateTreeNode, "OnSelect" },
        }
        for _, e in ipairs(events) do
            local control = e[1](canvas)
            local event = control[e[2]](control)
            control:DelayedDelete()
            canvas:ProcessDelayedDeletes()
            event:Add(function() error("never") end)
            event:Call(nil)
            event:RemoveHandler(other)
            assert(control[e[2]](control) == nil, e[2])
        end
    )"),
              "");
}

TEST_F(WidgetLuaTest, ObjectsOfAControlPushedAsTwoClassesInTurnAllGoInert)
{
    EXPECT_EQ(Run(R"(
        collectgarbage("stop")
        local label = gui.CreateLabel(canvas)
        label:SetName("twice")
        local kept
        for round = 1, 9 do
            local base = canvas:FindChildByName("twice")
            local typed = gui.ConvertToLabel(base)
            assert(base ~= typed)
            kept = { base, typed }
        end
        -- The earlier rounds' objects are collected: a gap between the first object and the last ones.
        collectgarbage("collect")
        collectgarbage("restart")
        label:DelayedDelete()
        canvas:ProcessDelayedDeletes()
        for i, object in ipairs(kept) do
            assert(object:GetName() == nil, i)
        end
    )"),
              "");
}

// Where an operation needs a control of some class, nil or another class is a Lua error; where it takes
// any control or none, nil is fine.
TEST_F(WidgetLuaTest, AControlArgumentOfTheWrongClassOrAMissingOneIsAnError)
{
    ASSERT_EQ(Run(R"(
        properties = gui.CreateProperties(canvas)
        row = properties:Add("a")
        label = gui.CreateLabel(canvas)
        button = gui.CreateButton(canvas)
        tree = gui.CreateTreeControl(canvas)
        node = gui.CreateTreeNode(canvas)
    )"),
              "");
    ExpectErrors({
        {"properties:AddWithProperty('b', nil)", "bad argument #3 (Property expected)"},
        {"properties:AddWithProperty('b', label)", "bad argument #3 (Property expected)"},
        {"row:SetProperty(label)", "bad argument #2 (Property expected)"},
        {"row:SetProperty()", "bad argument #2 (Property expected)"},
        {"tree:OnNodeAdded(button)", "bad argument #2 (TreeNode expected)"},
        {"canvas:AddDelayedDelete(nil)", "bad argument #2 (control expected)"},
        {"canvas:AddDelayedDelete(gui:GetSkin())", "bad argument #2 (control expected)"},
        {"node:SetTreeControl(button)", "bad argument #2 (TreeControl expected)"},
        {"label:SetFont(label)", "bad argument #2 (Font expected)"},
        {"gui.CreateButton(gui.CreateFont())", "bad argument #1 (control expected)"},
    });
    EXPECT_EQ(Run(R"(
        node:SetTreeControl(nil)
        assert(canvas:IsChild(nil) == false)
        button:OnPress():Call(nil)
        label:SetParent(nil)
        assert(label:GetParent() == nil)
    )"),
              "");
}

TEST_F(WidgetLuaTest, AMissingSelfOrASelfOfAnotherClassIsAnError)
{
    ASSERT_EQ(Run(R"(
        label = gui.CreateLabel(canvas)
        button = gui.CreateButton(canvas)
        font = gui.CreateFont()
        row = gui.CreateListBox(canvas):AddItem("one")
    )"),
              "");
    ExpectErrors({
        {"button.GetName()", "bad argument #1 (Button expected)"},
        {"button.Press(label)", "bad argument #1 (Button expected)"},
        {"button.Press(7)", "bad argument #1 (Button expected)"},
        {"label.SetText(font, 'x')", "bad argument #1 (Label expected)"},
        {"canvas.GetName(button:OnPress())", "bad argument #1 (Canvas expected)"},
        {"font.GetSize(button)", "bad argument #1 (Font expected)"},
        {"row.GetText(button, 0)", "bad argument #1 (ListBoxRow expected)"},
        {"button:OnPress().Add(nil, print)", "bad argument #1 (Caller expected)"},
    });
    // A check box is a button: the button's methods take it.
    EXPECT_EQ(Run("local box = gui.CreateCheckBox(canvas) button.Press(box) assert(box:IsChecked())"), "");
}

// A control argument whose control is gone makes the call do nothing, as a deleted self does.
TEST_F(WidgetLuaTest, AGoneControlAsAnArgumentMakesTheCallDoNothing)
{
    EXPECT_EQ(Run(R"(
        local gone = gui.CreateButton(canvas)
        gone:DelayedDelete()
        canvas:ProcessDelayedDeletes()
        local label = gui.CreateLabel(canvas)
        label:SetParent(gone)
        assert(label:GetParent() ~= nil, "not detached")
        assert(gui.CreateButton(gone) == nil)
        assert(canvas:IsChild(gone) == false)
        canvas:AddDelayedDelete(gone)
        gui.Press(gone)
        assert(gui:Tweak(nil, gone) == nil)
    )"),
              "");
}

// The handler reads its function from the stack of the coroutine that called "Add".
TEST_F(WidgetLuaTest, AnEventHandlerAddedInACoroutineRuns)
{
    const std::size_t reports = m_errors.Count();
    EXPECT_EQ(Run(R"(
        local button = gui.CreateButton(canvas)
        local pressed = 0
        local adder = coroutine.create(function()
            button:OnPress():Add(function() pressed = pressed + 1 end)
            coroutine.yield()
        end)
        assert(coroutine.resume(adder))
        button:Press()
        assert(coroutine.resume(adder))
        button:Press()
        assert(pressed == 2, pressed)
    )"),
              "");
    EXPECT_EQ(m_errors.Count(), reports);
}

// Scripts' geometry is kept where no sum of it overflows an int: positions within a million either way,
// sizes and paddings from 0 to a million; NaN is 0.
TEST_F(WidgetLuaTest, GeometryFromScriptsIsClampedBeforeItIsConverted)
{
    const struct
    {
        const char* code;
        const char* holds;
    } cases[] = {
        {"c:SetPos(1e30, -1e30)", "c:X() == 1000000 and c:Y() == -1000000"},
        {"c:SetPos(0 / 0, 2 ^ 31)", "c:X() == 0 and c:Y() == 1000000"},
        {"c:SetSize(-5, 2 ^ 40)", "c:Width() == 0 and c:Height() == 1000000"},
        {"c:SetWidth(0 / 0) c:SetHeight(1e300)", "c:Width() == 0 and c:Height() == 1000000"},
        {"c:SetBounds(Vector4(2e6, -2e6, -3, 1e9))",
         "c:X() == 1000000 and c:Y() == -1000000 and c:Width() == 0 and c:Height() == 1000000"},
        {"c:MoveTo(-1e20, 5)", "c:X() == -1000000 and c:Y() == 5"},
        {"c:MoveBy(2 ^ 31, 0)", "c:X() == 1000000"},
        {"c:SetPadding(Vector4(-1, 2e6, 3, 0 / 0))",
         "c:GetPadding():X() == 0 and c:GetPadding():Y() == 1000000 and c:GetPadding():Z() == 3 and "
         "c:GetPadding():W() == 0"},
        {"c:SetMargin(Vector4(-2e6, 2e6, -5, 0 / 0))",
         "c:GetMargin():X() == -1000000 and c:GetMargin():Y() == 1000000 and c:GetMargin():Z() == -5 and "
         "c:GetMargin():W() == 0"},
        {"c:OnMouseMoved(2 ^ 31, -2 ^ 31, 1e300, 0 / 0)", "true"},
        {"assert(canvas:InputMouseMoved(2 ^ 31, 2 ^ 31, 1e300, -1e300) ~= nil)", "true"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            Run(std::string("local c = gui.CreateImagePanel(canvas) c:SetBounds(Vector4(0, 0, 10, 10)) ") +
                c.code + " assert(" + c.holds + ")"),
            "")
            << c.code;
}

// A control a script detaches belongs to the host again: a warm reset deletes it, once.
TEST_F(WidgetLuaTest, ADetachedControlIsDeletedByTheNextWarmReset)
{
    ASSERT_EQ(Run("button = gui.CreateButton(canvas) button:SetName('detached')"), "");
    Gui::test::EventCounter deleted;
    m_graphics->GetGuiHost()
        .GetCanvas()
        ->FindChildByName("detached")
        ->OnDestroyed.Add(&deleted, &Gui::test::EventCounter::Count);
    ASSERT_EQ(Run("button:SetParent(nil) button:SetParent(canvas) button:SetParent(nil)"), "");
    m_graphics->WarmReset();
    EXPECT_EQ(deleted.count, 1);
    EXPECT_EQ(Run("assert(button:GetName() == nil)"), "");
}

// The active canvas a script deletes is no longer the host's: nothing draws it.
TEST_F(WidgetLuaTest, AnActiveCanvasAScriptReleasesIsNoLongerActive)
{
    GuiHost& host = m_graphics->GetGuiHost();
    EXPECT_EQ(Run("gui.CreateButton(canvas) canvas:Release() assert(gui:GetCanvas() == nil)"), "");
    EXPECT_FALSE(host.HasCanvas());
    host.RenderCanvas();
    EXPECT_EQ(Run("assert(canvas:GetName() == nil)"), "");
}

// A canvas a script asks to go (DelayedDelete, or another canvas's AddDelayedDelete) goes with the next
// frame, wherever the script asked: between frames, inside one of the canvas's own control events, and
// whether the canvas is the active one or was never drawn. The host then neither draws nor steps it.
TEST_F(WidgetLuaTest, ACanvasAskedToGoIsGoneAfterTheNextFrame)
{
    GuiHost& host = m_graphics->GetGuiHost();
    constexpr const char* kOnPress = "button:OnPress():Add(function() doomed:DelayedDelete() end) ";
    const struct
    {
        const char* asker;
        std::string ask;
        bool active;
        bool click;
        const char* gone = "doomed:GetName() == nil and button:GetName() == nil";
    } cases[] = {
        {"a frame script", "doomed:DelayedDelete()", true, false},
        {"its own button's event", std::string(kOnPress) + "gui.Press(button)", true, false},
        {"its own button's event, on a click", std::string(kOnPress) + "gui.SetHoveredControl(button)", true,
         true},
        {"another canvas", "canvas:AddDelayedDelete(doomed)", true, false},
        {"a frame script, never drawn", "doomed:DelayedDelete()", false, false},
        {"its own button's event, never drawn", std::string(kOnPress) + "gui.Press(button)", false, false},
        {"a control of its own, never drawn", "button:DelayedDelete()", false, false,
         "button:GetName() == nil and doomed:GetName() == 'doomed'"},
    };
    for (const auto& c : cases)
    {
        ASSERT_EQ(Run(std::string("doomed = gui.CreateCanvas(gui:GetSkin()) doomed:SetName('doomed') ") +
                      "button = gui.CreateButton(doomed) button:SetBounds(Vector4(0, 0, 50, 20)) " +
                      (c.active ? "gui:SetCanvas(doomed)" : "gui:SetCanvas(canvas)")),
                  "")
            << c.asker;
        ASSERT_EQ(Run(c.ask), "") << c.asker;
        if (c.click)
        {
            EXPECT_TRUE(host.Bridge().MousePressed(MOUSE_Left)) << c.asker;
            EXPECT_TRUE(host.Bridge().MouseReleased(MOUSE_Left)) << c.asker;
        }
        m_graphics->Update(0.016f);
        EXPECT_EQ(Run(std::string("assert(") + c.gone + ")"), "") << c.asker;
        EXPECT_EQ(Run(c.active ? "assert(gui:GetCanvas() == nil)" : "assert(gui:GetCanvas() == canvas)"), "")
            << c.asker;
        EXPECT_EQ(host.HasCanvas(), !c.active) << c.asker;
        m_graphics->Update(0.016f);
    }
}

// Pad navigation runs the hover events of the control losing the hover and of the one taking it; their
// handlers may delete either (controls outside a canvas go at once) or move the hover on.
TEST_F(WidgetLuaTest, HoverEventsOfPadNavigationMayDeleteEitherControlOrMoveTheHoverOn)
{
    ASSERT_EQ(Run(R"(
        function gone(control) return control:GetName() == nil end
        function hovered()
            local control = gui.GetHoveredControl()
            return control and control:GetName()
        end
        -- The handler deletes the controls given that are still there, each at once: none is on a
        -- canvas.
        function deleting(...)
            local victims = { ... }
            return function()
                for _, victim in ipairs(victims) do
                    if not gone(victim) then victim:OnHoverEnter():RemoveHandler(victim) end
                end
            end
        end
    )"),
              "");
    const struct
    {
        const char* handler;
        const char* holds;
    } cases[] = {
        {"new:OnHoverEnter():Add(deleting(new))", "gone(new) and hovered() == nil"},
        {"new:OnHoverEnter():Add(deleting(old))", "gone(old) and hovered() == 'new'"},
        {"new:OnHoverEnter():Add(deleting(old, new))", "gone(old) and gone(new) and hovered() == nil"},
        {"old:OnHoverLeave():Add(deleting(old))", "gone(old) and hovered() == 'new'"},
        {"old:OnHoverLeave():Add(deleting(new))", "gone(new) and hovered() == 'old'"},
        {"old:OnHoverLeave():Add(deleting(new, old))", "gone(new) and gone(old) and hovered() == nil"},
        {"new:OnHoverEnter():Add(function() gui.SetHoveredControl(other) end)", "hovered() == 'other'"},
        {"new = slider slider:OnHoverEnter():Add(deleting(slider))", "gone(slider) and hovered() == nil"},
        {"new = slider old:OnHoverLeave():Add(deleting(slider))", "gone(slider) and hovered() == 'old'"},
        {"new = slider slider:OnHoverLeave():Add(deleting(slider))", "gone(slider) and hovered() == nil"},
    };
    for (const auto& c : cases)
    {
        ASSERT_EQ(Run(R"(
            gui.SetHoveredControl(nil)
            old, new, other = gui.CreateButton(nil), gui.CreateButton(nil), gui.CreateButton(nil)
            slider = gui.CreateHorizontalSlider(nil)
            old:SetName("old") new:SetName("new") other:SetName("other") slider:SetName("slider")
            gui.SetHoveredControl(old)
        )"),
                  "");
        EXPECT_EQ(Run(c.handler), "") << c.handler;
        EXPECT_EQ(Run("gui.SetHoveredControl(new) gui.SetHoveredControl(new)"), "") << c.handler;
        EXPECT_EQ(Run(std::string("assert(") + c.holds + ")"), "") << c.handler;
    }
}

// Lua that runs a script's code in a finalizer while a call is under way, at the allocation it chooses.
constexpr const char* kFinalizers = R"(
    -- A finalizer that arms another for the next collection, and acts at the collection after.
    function armFinalizer(collections, act)
        local proxy = newproxy(true)
        getmetatable(proxy).__gc = function()
            if collections == 0 then act() else armFinalizer(collections - 1, act) end
        end
    end
    -- Calls the function with every allocation collecting everything: act runs at the allocation
    -- numbered as given, counting from 0. Returns what the function returned.
    function afterCollections(allocations, act, call)
        local acted = false
        armFinalizer(allocations + 1, function() acted = true act() end)
        collectgarbage("setpause", 0)
        collectgarbage("setstepmul", 100000)
        collectgarbage("collect")
        local result = call()
        collectgarbage("setpause", 200)
        collectgarbage("setstepmul", 200)
        assert(acted, "the finalizer ran")
        return result
    end
)";

// Pushing objects allocates, and an allocation may run a finalizer: a script's finalizer may change the
// selection, or delete the rows, while GetSelectedRows is pushing them. The rows selected when the call
// began come back, those deleted on the way left out.
TEST_F(WidgetLuaTest, GetSelectedRowsWithAFinalizerChangingTheSelectionMidway)
{
    ASSERT_EQ(Run(kFinalizers), "");
    ASSERT_EQ(Run(R"(
        function selectedRowsWhile(act)
            list = gui.CreateListBox(canvas)
            list:SetName("list")
            list:SetAllowMultiSelect(true)
            -- Shift held: each press adds its row to the selection.
            list:Focus()
            canvas:InputKey(6, true)
            for i = 1, 40 do
                local row = list:AddItem("row " .. i)
                gui.Press(row)
                -- Typed as a plain control now: the next push as a row makes a new object, which allocates.
                row:GetCellContents(0):GetParent()
            end
            canvas:InputKey(6, false)
            local rows = afterCollections(3, act, function() return list:GetSelectedRows() end)
            local count = 0
            for _, row in pairs(rows) do
                count = count + 1
                row:GetText(0)
            end
            assert(count == #rows, "a sequence")
            return #rows
        end
    )"),
              "");
    const struct
    {
        const char* act;
        const char* holds;
    } cases[] = {
        {"list:UnselectAll()", "count == 40 and list:GetSelectedRow() == nil"},
        {"list:Clear() canvas:ProcessDelayedDeletes()", "count > 0 and count < 40"},
        {"list:DelayedDelete() canvas:ProcessDelayedDeletes()",
         "count > 0 and count < 40 and list:GetName() == nil"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Run(std::string("local count = selectedRowsWhile(function() ") + c.act + " end) assert(" +
                      c.holds + ", count)"),
                  "")
            << c.act;
}

// Drawing divides by the canvas's scale and sizes its fonts by it: a scale that is not a finite number
// above 0 is ignored; any other is taken, however large or small, and a frame draws with it.
TEST_F(WidgetLuaTest, ACanvasScaleIsAFiniteNumberAboveZero)
{
    ASSERT_EQ(Run("label = gui.CreateLabel(canvas) label:SetText('scaled') label:SizeToContents()"), "");
    const struct
    {
        const char* scale;
        double kept;
    } cases[] = {
        {"0 / 0", 2.0},           {"0", 2.0},     {"-0", 2.0},  {"-1", 2.0},    {"1 / 0", 2.0},
        {"-1 / 0", 2.0},          {"1e300", 2.0}, {"0.5", 0.5}, {"1e30", 1e30}, {"1e-30", 1e-30},
        {"2 ^ 31", 2147483648.0},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(Run(std::string("canvas:SetScale(2) canvas:SetScale(") + c.scale + ")"), "") << c.scale;
        EXPECT_EQ(m_graphics->GetGuiHost().GetCanvas()->Scale(), static_cast<float>(c.kept)) << c.scale;
        m_graphics->Update(0.016f);
    }
}

// A script may size a font with any number: a label sizes itself by it, a text box finds its caret
// by it, and frames draw with it.
TEST_F(WidgetLuaTest, AFontOfAnySizeFromAScriptSizesLabelsAndPlacesCarets)
{
    ASSERT_EQ(Run(R"(
        font = gui.CreateFont()
        label = gui.CreateLabel(canvas)
        label:SetFont(font)
        local properties = gui.CreateProperties(canvas)
        properties:SetBounds(Vector4(0, 100, 300, 100))
        local row = properties:Add("field")
        row:GetProperty():SetPropertyValue("some text")
        canvas:RenderCanvas()
        box = gui.ConvertToLabel(row:GetProperty():GetControlAt(2, 2))
        assert(box, "the property's text box")
        box:SetFont(font)
    )"),
              "");
    for (const char* size : {"0 / 0", "1e30", "-1e30", "2 ^ 31", "-2 ^ 31", "1e300", "0", "4097"})
    {
        EXPECT_EQ(Run(std::string("font:SetSize(") + size + ")" + R"(
            label:SetText("") canvas:RenderCanvas()
            label:SetText("sized") label:SizeToContents() canvas:RenderCanvas()
            assert(label:Height() >= 0 and label:Height() <= 1000000)
            for x = -1, 90, 7 do
                box:OnMouseClickLeft(x, 3, true)
                box:OnMouseClickLeft(x + 5, 30, false)
            end
            canvas:RenderCanvas()
        )"),
                  "")
            << size;
        m_graphics->Update(0.016f);
    }
}

// Reading a number where a method takes a string makes a string, which allocates: a finalizer may then
// delete the control whose method it is, or a control given to it; the call then does nothing.
TEST_F(WidgetLuaTest, AControlDeletedByAFinalizerWhileItsArgumentsAreReadIsLeftAlone)
{
    ASSERT_EQ(Run(kFinalizers), "");
    ASSERT_EQ(Run(R"(
        -- Controls outside a canvas go at once.
        function delete(control) control:OnHoverEnter():RemoveHandler(control) end
    )"),
              "");
    const struct
    {
        const char* make;
        const char* call;
        const char* deleted = "victim";
    } cases[] = {
        {"gui.CreateLabel(nil)", "victim:SetText(12345)"},
        {"gui.CreateButton(nil)", "victim:SetName(6)"},
        {"gui.CreateButton(nil)", "victim:FindChildByName(7, true)"},
        {"gui.CreateListBox(nil)", "victim:AddItem(8)"},
        {"gui.CreateProperties(nil)", "victim:AddWithValue(9, 10)"},
        {"gui.CreateProperties(nil)", "victim:AddWithProperty(11, property)"},
        {"gui.CreateProperties(canvas)", "victim:AddWithProperty(12, property)", "property"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Run(std::string("property = gui.CreateProperties(nil):Add('x'):GetProperty() ") +
                      "victim = " + c.make + " " + c.deleted + ":SetName('deleted') " +
                      "local result = afterCollections(0, function() delete(" + c.deleted + ") end, " +
                      "function() return " + c.call + " end) " + "assert(" + c.deleted +
                      ":GetName() == nil and result == nil)"),
                  "")
            << c.call << " deleting " << c.deleted;
}

// A string pushed is read after Lua's collector had its chance to run: a control's name is taken from the
// control before a finalizer deleting the control can run.
TEST_F(WidgetLuaTest, AControlsNameIsTakenBeforeAFinalizerCanDeleteTheControl)
{
    ASSERT_EQ(Run(kFinalizers), "");
    EXPECT_EQ(Run(R"(
        local victim = gui.CreateButton(nil)
        local name = string.rep("a name too long to sit inside its string ", 4)
        victim:SetName(name)
        local result = afterCollections(0, function() victim:OnHoverEnter():RemoveHandler(victim) end,
                                        function() return victim:GetName() end)
        assert(result == name and victim:GetName() == nil)
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
