#include "UI/GuiInputBridge.h"
#include "platform/window/VirtualKeys.h"
#include "widgets/Controls/Button.h"
#include "widgets/Controls/TextBox.h"
#include "widgets/WidgetTest.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

namespace vk = platform::vk;
using Log = std::vector<std::string>;

// Writes down the arrow keys that reach it.
class Arrows : public Gui::Controls::Base
{
public:
    Arrows(Gui::Controls::Base* parent, Log& log) : Base(parent), m_log(log)
    {
        SetKeyboardInputEnabled(true);
    }
    bool OnKeyUp(bool down) override { return Note("up", down); }
    bool OnKeyDown(bool down) override { return Note("down", down); }
    bool OnKeyLeft(bool down) override { return Note("left", down); }
    bool OnKeyRight(bool down) override { return Note("right", down); }

private:
    bool Note(const char* key, bool down)
    {
        m_log.push_back(std::string(key) + (down ? " pressed" : " released"));
        return true;
    }
    Log& m_log;
};

class GuiInputBridgeTest : public Gui::test::CanvasTest<>
{
protected:
    GuiInputBridgeTest()
        : bridge([this] { return active ? canvas : nullptr; },
                 [this](unsigned char key) { return held.contains(key); })
    {
    }

    bool active = true;
    std::set<unsigned char> held;
    GuiInputBridge bridge;
};

TEST_F(GuiInputBridgeTest, WithoutACanvasNothingIsTaken)
{
    active = false;
    EXPECT_FALSE(bridge.MousePressed(MOUSE_Left));
    EXPECT_FALSE(bridge.MouseReleased(MOUSE_Left));
    EXPECT_FALSE(bridge.KeyPressed(vk::Return, 0));
    EXPECT_FALSE(bridge.KeyPressed('A', 0));
    EXPECT_FALSE(bridge.KeyReleased(vk::Return, 0));
    EXPECT_FALSE(bridge.Character('a'));
    bridge.MouseWheel(120.0f);
    bridge.LeftThumbMoved(0, Vector2(0.0f, 1.0f), Vector2());
}

TEST_F(GuiInputBridgeTest, ButtonsKeysAndCharactersReachTheCanvasAsTheWidgetsCodes)
{
    auto* button = new Gui::Controls::Button(canvas);
    auto* box = new Gui::Controls::TextBox(canvas);
    box->SetPos(0, 50);
    canvas->RenderCanvas();

    // The left button presses the hovered button; any other button is the widgets' 2, which nothing
    // takes, so the canvas takes the focus and the game gets the click.
    Gui::HoveredControl = button;
    EXPECT_TRUE(bridge.MousePressed(MOUSE_Left));
    EXPECT_TRUE(bridge.MouseReleased(MOUSE_Left));
    box->Focus();
    EXPECT_FALSE(bridge.MousePressed(MOUSE_Right));
    EXPECT_EQ(Gui::KeyboardFocus, canvas);

    box->Focus();
    const struct
    {
        const char* name;
        unsigned char key;
        bool down;
        bool control;
        bool taken;
    } keys[] = {
        {"a letter while a control has the focus", 'A', true, false, true},
        {"the same letter with Control held", 'A', true, true, false},
        {"a letter's release", 'A', false, false, false},
        {"Escape", vk::Escape, true, false, false},
        {"Home", vk::Home, true, false, true},
    };
    for (const auto& k : keys)
    {
        held.clear();
        if (k.control)
            held.insert(vk::Control);
        EXPECT_EQ(k.down ? bridge.KeyPressed(k.key, 0) : bridge.KeyReleased(k.key, 0), k.taken) << k.name;
    }
    bridge.KeyReleased(vk::Home, 0);
    // "é" comes as two bytes and is typed once.
    box->SetText(L"");
    EXPECT_TRUE(bridge.Character(static_cast<char>(0xC3)));
    EXPECT_TRUE(bridge.Character(static_cast<char>(0xA9)));
    EXPECT_TRUE(bridge.Character('x'));
    EXPECT_EQ(box->GetText(), L"\u00e9x");

    // With the canvas itself focused, letters stay the game's.
    canvas->Focus();
    EXPECT_FALSE(bridge.KeyPressed('A', 0));
}

TEST_F(GuiInputBridgeTest, TheLeftThumbstickHoldsOneArrowKeyAtATime)
{
    Log log;
    auto* arrows = new Arrows(canvas, log);
    arrows->Focus();
    const struct
    {
        Vector2 position;
        Log calls;
    } moves[] = {
        {Vector2(0.3f, 0.3f), {"up pressed"}},
        {Vector2(0.3f, 0.4f), {}},
        {Vector2(-0.5f, 0.0f), {"up released", "left pressed"}},
        {Vector2(-0.25f, 0.0f), {"left released"}},
        {Vector2(0.0f, -0.26f), {"down pressed"}},
        {Vector2(0.0f, 0.0f), {"down released"}},
    };
    for (const auto& move : moves)
    {
        log.clear();
        bridge.LeftThumbMoved(1, move.position, Vector2());
        EXPECT_EQ(log, move.calls) << move.position.x << "," << move.position.y;
    }
}

} // namespace
} // namespace Quarn
