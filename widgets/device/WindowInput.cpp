#include "widgets/device/WindowInput.h"

#include "platform/window/VirtualKeys.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Input.h"

namespace Gui
{

namespace vk = Quarn::platform::vk;
using Quarn::platform::WindowMessageId;

int WindowInput::KeyCode(std::uint8_t virtualKey)
{
    switch (virtualKey)
    {
    case vk::Return:
        return Key::Return;
    case vk::Back:
        return Key::Backspace;
    case vk::Delete:
        return Key::Delete;
    case vk::Left:
        return Key::Left;
    case vk::Right:
        return Key::Right;
    case vk::Shift:
    case vk::LShift:
    case vk::RShift:
        return Key::Shift;
    case vk::Tab:
        return Key::Tab;
    case vk::Space:
        return Key::Space;
    case vk::Home:
        return Key::Home;
    case vk::End:
        return Key::End;
    case vk::Control:
    case vk::LControl:
    case vk::RControl:
        return Key::Control;
    case vk::Up:
        return Key::Up;
    case vk::Down:
        return Key::Down;
    case vk::Escape:
        return Key::Escape;
    default:
        return Key::Invalid;
    }
}

bool WindowInput::Feed(const Quarn::platform::WindowMessage& message)
{
    switch (message.id)
    {
    case WindowMessageId::MouseMove:
    {
        const std::int32_t dx = message.x - m_lastX;
        const std::int32_t dy = message.y - m_lastY;
        m_lastX = message.x;
        m_lastY = message.y;
        return m_canvas.InputMouseMoved(message.x, message.y, dx, dy);
    }
    case WindowMessageId::LeftButtonDown:
    case WindowMessageId::LeftButtonUp:
        return m_canvas.InputMouseButton(0, message.id == WindowMessageId::LeftButtonDown);
    case WindowMessageId::RightButtonDown:
    case WindowMessageId::RightButtonUp:
        return m_canvas.InputMouseButton(1, message.id == WindowMessageId::RightButtonDown);
    case WindowMessageId::MiddleButtonDown:
    case WindowMessageId::MiddleButtonUp:
        return m_canvas.InputMouseButton(2, message.id == WindowMessageId::MiddleButtonDown);
    case WindowMessageId::MouseWheel:
        return m_canvas.InputMouseWheel(message.wheelDelta);
    case WindowMessageId::KeyDown:
    case WindowMessageId::KeyUp:
    {
        const bool down = message.id == WindowMessageId::KeyDown;
        // A letter typed with Control held is no text for the desktop; the widgets' accelerators take it
        // as the letter.
        if (down && Input::IsControlDown() && message.virtualKey >= 'A' && message.virtualKey <= 'Z')
            return m_canvas.InputCharacter(static_cast<wchar_t>(
                Input::IsShiftDown() ? message.virtualKey : message.virtualKey - 'A' + 'a'));
        const int key = KeyCode(message.virtualKey);
        return key != Key::Invalid && m_canvas.InputKey(key, down);
    }
    case WindowMessageId::Character:
        return m_canvas.InputCharacter(static_cast<wchar_t>(message.character));
    default:
        return false;
    }
}

} // namespace Gui
