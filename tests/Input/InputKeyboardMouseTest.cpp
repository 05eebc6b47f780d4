#include "InputTestSupport.h"

#include "platform/window/VirtualKeys.h"

#include <gtest/gtest.h>

namespace Quarn::test
{
namespace
{

using platform::WindowMessage;
using platform::WindowMessageId;
using Journal = std::vector<std::string>;

class InputKeyboardMouseTest : public InputFixture
{
protected:
    InputKeyboardMouseTest() { StartWindow(800, 600); }

    // Records every state of key under its name.
    void Record(unsigned char key, const std::string& name)
    {
        m_input->ListenKeyboard(key, [this, name](KeyState state)
                                { m_events.push_back(name + " " + StateName(state)); });
    }

    static std::string StateName(KeyState state)
    {
        switch (state)
        {
        case KEY_Pressed:
            return "pressed";
        case KEY_Down:
            return "down";
        case KEY_Released:
            return "released";
        default:
            return "up";
        }
    }

    Journal TakeEvents() { return std::exchange(m_events, {}); }

    Journal m_events;
};

TEST_F(InputKeyboardMouseTest, AKeyHeldOverThreeFramesIsPressedOnceDownEachFrameAndReleasedOnce)
{
    Record('D', "D");
    int anyKey = 0;
    m_input->ListenAnyKey([&] { ++anyKey; });

    Post(WindowMessage::Key(WindowMessageId::KeyDown, 'D', 0x20));
    Frame();
    EXPECT_EQ(TakeEvents(), (Journal{"D pressed", "D down"}));
    EXPECT_TRUE(m_input->IsKeyDown('D'));

    // Auto-repeats reach the any-key list and the interceptors, never the key's listeners as presses.
    Post(WindowMessage::Key(WindowMessageId::KeyDown, 'D', 0x20, true));
    Post(WindowMessage::Key(WindowMessageId::KeyDown, 'D', 0x20, true));
    Frame();
    EXPECT_EQ(TakeEvents(), (Journal{"D down"}));
    Frame();
    EXPECT_EQ(TakeEvents(), (Journal{"D down"}));
    EXPECT_EQ(anyKey, 3);

    Post(WindowMessage::Key(WindowMessageId::KeyUp, 'D', 0x20));
    Frame();
    EXPECT_EQ(TakeEvents(), (Journal{"D released"}));
    EXPECT_FALSE(m_input->IsKeyDown('D'));
    Frame();
    EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(InputKeyboardMouseTest, AnInterceptedPressStillHoldsTheKeyAndItsReleaseGoesToTheReleaseInterceptors)
{
    Record('E', "E");
    std::vector<std::pair<unsigned, unsigned>> pressed;
    std::vector<unsigned> released;
    int anyKey = 0;
    m_input->ListenAnyKey([&] { ++anyKey; });
    m_input->InterceptKeyPressed(
        [&](unsigned char key, unsigned char scanCode)
        {
            pressed.emplace_back(key, scanCode);
            return key == 'E';
        });
    bool secondAsked = false;
    m_input->InterceptKeyPressed([&](unsigned char, unsigned char) { return secondAsked = true; });
    m_input->InterceptKeyReleased(
        [&](unsigned char key, unsigned char)
        {
            released.push_back(key);
            return false;
        });

    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'E', 0x12));
    EXPECT_EQ(pressed, (std::vector<std::pair<unsigned, unsigned>>{{'E', 0x12}}));
    EXPECT_FALSE(secondAsked);
    EXPECT_EQ(anyKey, 0);
    EXPECT_TRUE(m_input->IsKeyDown('E'));
    Frame();
    EXPECT_EQ(TakeEvents(), (Journal{"E down"}));

    Send(WindowMessage::Key(WindowMessageId::KeyUp, 'E', 0x12));
    EXPECT_EQ(released, (std::vector<unsigned>{'E'}));
    EXPECT_EQ(TakeEvents(), (Journal{"E released"}));
}

TEST_F(InputKeyboardMouseTest, AKeyLetGoWhileAltIsDownIsReleasedAndAltKeysNeverReachTheGame)
{
    Record('W', "W");
    Record(platform::vk::Menu, "Alt");
    Record(platform::vk::F10, "F10");
    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'W'));
    Send(WindowMessage::Key(WindowMessageId::SysKeyDown, platform::vk::Menu, 0x38, false, true));
    Send(WindowMessage::Key(WindowMessageId::SysKeyDown, platform::vk::F10));
    Send(WindowMessage::Key(WindowMessageId::SysKeyDown, 'X', 0x2D, false, true));
    EXPECT_EQ(Send(WindowMessage::Key(WindowMessageId::SysKeyUp, 'W', 0x11, false, true)), 1);
    EXPECT_FALSE(m_input->IsKeyDown('W'));
    EXPECT_FALSE(m_input->IsKeyDown(platform::vk::Menu));
    EXPECT_FALSE(m_input->IsKeyDown(platform::vk::F10));
    EXPECT_EQ(Send(WindowMessage::Key(WindowMessageId::SysKeyUp, platform::vk::Menu, 0x38)), 0);
    EXPECT_EQ(TakeEvents(), (Journal{"W pressed", "W released"}));
    Frame();
    EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(InputKeyboardMouseTest, CharactersReachOnlyTheInterceptorsAsUtf8UntilOneTakesThem)
{
    std::string first;
    std::string second;
    m_input->InterceptCharacter(
        [&](char c)
        {
            first += c;
            return c == '!';
        });
    m_input->InterceptCharacter(
        [&](char c)
        {
            second += c;
            return false;
        });
    EXPECT_EQ(Send(WindowMessage::Char(U'a')), 0);
    EXPECT_EQ(Send(WindowMessage::Char(U'!')), 1);
    EXPECT_EQ(Send(WindowMessage::Char(U'\u00e4')), 0);
    EXPECT_EQ(Send(WindowMessage::Char(U'\u20ac')), 0);
    EXPECT_EQ(first, "a!\u00e4\u20ac");
    EXPECT_EQ(second, "a\u00e4\u20ac");
}

TEST_F(InputKeyboardMouseTest, MouseMovesSendPixelsThenNormalisedPositionsAndButtonsHearTheLastPosition)
{
    StartWindow(400, 200);
    std::vector<std::pair<Vector2, Vector2>> pixels;
    std::vector<std::pair<Vector2, Vector2>> normalised;
    std::vector<Vector2> pressedAt;
    m_input->ListenMouseMovePixels([&](const Vector2& p, const Vector2& d) { pixels.emplace_back(p, d); });
    m_input->ListenMouseMove([&](const Vector2& p, const Vector2& d) { normalised.emplace_back(p, d); });
    m_input->ListenMouseButtonPressed(MOUSE_Left, [&](const Vector2& p) { pressedAt.push_back(p); });

    EXPECT_EQ(Send(WindowMessage::Mouse(WindowMessageId::MouseMove, 100, 50)), 1);
    EXPECT_EQ(Send(WindowMessage::Mouse(WindowMessageId::MouseMove, 100, 50)), 1);
    Send(WindowMessage::Mouse(WindowMessageId::MouseMove, 99, 50));
    Send(WindowMessage::Mouse(WindowMessageId::LeftButtonDown, 99, 50));

    using Move = std::pair<Vector2, Vector2>;
    EXPECT_EQ(pixels, (std::vector<Move>{{{100, 50}, {0, 0}}, {{99, 50}, {-1, 0}}}));
    EXPECT_EQ(normalised,
              (std::vector<Move>{{{0.25f, 0.25f}, {0, 0}}, {{99 / 400.0f, 0.25f}, {-1 / 400.0f, 0}}}));
    EXPECT_EQ(pressedAt, (std::vector<Vector2>{{99 / 400.0f, 0.25f}}));
    EXPECT_EQ(m_input->GetMousePosition(), Vector2(99 / 400.0f, 0.25f));
}

TEST_F(InputKeyboardMouseTest, TheWheelCountsNotchesOfTheSmallestStepSeenWithRollsTowardTheUserNegative)
{
    std::vector<float> values;
    m_input->ListenMouseWheel([&](float value) { values.push_back(value); });
    for (int delta : {120, -120, 240, -360, 40, 120, -40})
        EXPECT_EQ(Send(WindowMessage::Wheel(delta)), 1);
    EXPECT_EQ(values, (std::vector<float>{1, -1, 2, -3, 1, 3, -1}));
}

TEST_F(InputKeyboardMouseTest, MouseButtonsArePressedDownEachFrameAndReleasedWithTheirInterceptors)
{
    Journal buttons;
    m_input->ListenMouseButton(MOUSE_Right, [&](KeyState state, const Vector2&)
                               { buttons.push_back("right " + StateName(state)); });
    m_input->ListenMouseButtonReleased(MOUSE_Middle,
                                       [&](const Vector2&) { buttons.push_back("middle released"); });
    m_input->InterceptMousePressed([&](MouseButtons button) { return button == MOUSE_Middle; });
    int leaves = 0;
    m_input->ListenMouseLeave([&] { ++leaves; });

    Post(WindowMessage::Mouse(WindowMessageId::RightButtonDown, 0, 0));
    Post(WindowMessage::Mouse(WindowMessageId::MiddleButtonDown, 0, 0));
    Frame();
    EXPECT_EQ(buttons, (Journal{"right pressed", "right down"}));
    buttons.clear();
    Post(WindowMessage::Mouse(WindowMessageId::RightButtonUp, 0, 0));
    Post(WindowMessage::Mouse(WindowMessageId::MiddleButtonUp, 0, 0));
    Post(WindowMessage::Plain(WindowMessageId::MouseLeave));
    Frame();
    EXPECT_EQ(buttons, (Journal{"right released", "middle released"}));
    EXPECT_EQ(leaves, 1);
}

} // namespace
} // namespace Quarn::test
