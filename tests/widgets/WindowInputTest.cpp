#include "WidgetTest.h"

#include "platform/window/VirtualKeys.h"
#include "widgets/Controls/Button.h"
#include "widgets/device/WindowInput.h"

#include <gtest/gtest.h>

namespace Gui::test
{
namespace
{

namespace vk = Quarn::platform::vk;
using Quarn::platform::WindowMessage;
using Quarn::platform::WindowMessageId;

using WindowInputTest = test::CanvasTest<>;

TEST_F(WindowInputTest, WindowMessagesBecomeCanvasInput)
{
    struct Typing : Controls::Base
    {
        using Base::Base;
        bool OnChar(wchar_t c) override
        {
            typed += c;
            return true;
        }
        bool OnKeyBackspace(bool down) override
        {
            backspaces += down;
            return true;
        }
        void SelectEverything(Base*) { ++selections; }
        std::wstring typed;
        int backspaces = 0;
        int selections = 0;
    };
    auto* typing = new Typing(canvas);
    typing->SetBounds(0, 0, 100, 100);
    typing->SetKeyboardInputEnabled(true);
    auto* button = new Controls::Button(canvas);
    button->SetBounds(200, 0, 100, 20);
    WindowInput input(*canvas);

    EXPECT_TRUE(input.Feed(WindowMessage::Mouse(WindowMessageId::MouseMove, 50, 50)));
    EXPECT_TRUE(input.Feed(WindowMessage::Mouse(WindowMessageId::LeftButtonDown, 50, 50)));
    EXPECT_TRUE(input.Feed(WindowMessage::Mouse(WindowMessageId::LeftButtonUp, 50, 50)));
    EXPECT_EQ(KeyboardFocus, typing);

    EXPECT_TRUE(input.Feed(WindowMessage::Char(U'\u00e9')));
    EXPECT_TRUE(input.Feed(WindowMessage::Key(WindowMessageId::KeyDown, vk::Back)));
    EXPECT_TRUE(input.Feed(WindowMessage::Key(WindowMessageId::KeyUp, vk::Back)));
    // Keys the widgets do not know stay the game's.
    EXPECT_FALSE(input.Feed(WindowMessage::Key(WindowMessageId::KeyDown, vk::LetterA)));
    input.Feed(WindowMessage::Key(WindowMessageId::KeyDown, vk::LShift));
    EXPECT_TRUE(Input::IsShiftDown());
    input.Feed(WindowMessage::Key(WindowMessageId::KeyUp, vk::LShift));
    EXPECT_FALSE(Input::IsShiftDown());
    // Control and a letter reach the accelerators as the letter, which the focused control never types.
    typing->AddAccelerator(L"Ctrl + a", &Typing::SelectEverything);
    input.Feed(WindowMessage::Key(WindowMessageId::KeyDown, vk::Control));
    EXPECT_TRUE(input.Feed(WindowMessage::Key(WindowMessageId::KeyDown, vk::LetterA)));
    input.Feed(WindowMessage::Key(WindowMessageId::KeyUp, vk::LetterA));
    input.Feed(WindowMessage::Key(WindowMessageId::KeyUp, vk::Control));
    EXPECT_EQ(typing->selections, 1);
    EXPECT_EQ(typing->typed, L"\u00e9");
    EXPECT_EQ(typing->backspaces, 1);

    // The right button reaches the hovered control as button 1; the middle one as 2, which no control takes.
    input.Feed(WindowMessage::Mouse(WindowMessageId::MouseMove, 250, 10));
    EXPECT_EQ(HoveredControl, button);
    EXPECT_TRUE(input.Feed(WindowMessage::Mouse(WindowMessageId::RightButtonDown, 250, 10)));
    EXPECT_FALSE(input.Feed(WindowMessage::Mouse(WindowMessageId::MiddleButtonDown, 250, 10)));
    // Over the bare canvas nothing is the widgets'.
    EXPECT_FALSE(input.Feed(WindowMessage::Mouse(WindowMessageId::MouseMove, 500, 500)));
    EXPECT_FALSE(input.Feed(WindowMessage::Wheel(120)));
    EXPECT_FALSE(input.Feed(WindowMessage::Plain(WindowMessageId::Activate)));
}

} // namespace
} // namespace Gui::test
