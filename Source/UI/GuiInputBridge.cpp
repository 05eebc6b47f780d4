#include "UI/GuiInputBridge.h"

#include "platform/window/VirtualKeys.h"
#include "widgets/Controls/Canvas.h"
#include "widgets/Input.h"
#include "widgets/Utility.h"
#include "widgets/device/WindowInput.h"

#include <cmath>

namespace Quarn
{

namespace
{

namespace keys = platform::vk;

constexpr float kThumbThreshold = 0.25f;

// How many bytes the UTF-8 sequence that starts with this byte has (1 for a byte that starts none).
std::size_t SequenceLength(unsigned char lead)
{
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

} // namespace

GuiInputBridge::GuiInputBridge(CanvasSource canvas, KeyQuery keyDown)
    : m_canvas(std::move(canvas)), m_keyDown(std::move(keyDown))
{
}

int GuiInputBridge::WidgetKey(unsigned char virtualKey)
{
    // Escape stays the game's.
    return virtualKey == keys::Escape ? Gui::Key::Invalid : Gui::WindowInput::KeyCode(virtualKey);
}

void GuiInputBridge::FocusCanvasIfNone(Gui::Controls::Canvas& canvas)
{
    if (!Gui::KeyboardFocus)
        canvas.Focus();
}

bool GuiInputBridge::MousePressed(MouseButtons button)
{
    // A press runs the scripts' events, which may delete the canvas.
    const Gui::Controls::Ref<Gui::Controls::Canvas> canvas = m_canvas();
    if (!canvas)
        return false;
    const bool taken = canvas->InputMouseButton(button == MOUSE_Left ? 0 : 2, true);
    // A click no control takes takes the focus away from the controls.
    if (!taken && canvas)
        canvas->Focus();
    return taken;
}

bool GuiInputBridge::MouseReleased(MouseButtons button)
{
    Gui::Controls::Canvas* canvas = m_canvas();
    return canvas && canvas->InputMouseButton(button == MOUSE_Left ? 0 : 2, false);
}

void GuiInputBridge::MouseWheel(float delta)
{
    if (Gui::Controls::Canvas* canvas = m_canvas())
        canvas->InputMouseWheel(static_cast<int>(std::trunc(delta)));
}

bool GuiInputBridge::KeyPressed(unsigned char virtualKey, unsigned char /*scanCode*/)
{
    return Key(virtualKey, true);
}

bool GuiInputBridge::Key(unsigned char virtualKey, bool down)
{
    Gui::Controls::Canvas* canvas = m_canvas();
    if (!canvas)
        return false;
    FocusCanvasIfNone(*canvas);
    // Letters come as characters; a letter key is only kept from the game while a control has the focus.
    if (down && !m_keyDown(keys::Control) && virtualKey >= 'A' && virtualKey <= 'Z')
        return !canvas->HasFocus();
    const int key = WidgetKey(virtualKey);
    return key != Gui::Key::Invalid && canvas->InputKey(key, down);
}

bool GuiInputBridge::KeyReleased(unsigned char virtualKey, unsigned char /*scanCode*/)
{
    Gui::Controls::Canvas* canvas = m_canvas();
    if (!canvas)
        return false;
    FocusCanvasIfNone(*canvas);
    const int key = WidgetKey(virtualKey);
    return key != Gui::Key::Invalid && canvas->InputKey(key, false);
}

bool GuiInputBridge::Character(char byte)
{
    Gui::Controls::Canvas* canvas = m_canvas();
    if (!canvas)
    {
        m_pendingText.clear();
        return false;
    }
    const auto value = static_cast<unsigned char>(byte);
    const bool continuation = (value & 0xC0) == 0x80;
    if (!continuation)
        m_pendingText.clear();
    m_pendingText.push_back(byte);
    if (m_pendingText.size() < SequenceLength(static_cast<unsigned char>(m_pendingText.front())))
        // Half a character: kept from the game while a control has the focus, as its whole would be.
        return !canvas->HasFocus() && Gui::KeyboardFocus;
    const std::wstring text = Gui::Utility::StringToUnicode(m_pendingText);
    m_pendingText.clear();
    return text.size() == 1 && canvas->InputCharacter(text.front());
}

void GuiInputBridge::LeftThumbMoved(unsigned char /*pad*/, const Vector2& position, const Vector2& /*delta*/)
{
    unsigned char direction = 0;
    if (position.y < -kThumbThreshold)
        direction = keys::Down;
    else if (position.y > kThumbThreshold)
        direction = keys::Up;
    else if (position.x < -kThumbThreshold)
        direction = keys::Left;
    else if (position.x > kThumbThreshold)
        direction = keys::Right;
    if (direction == m_lastDirection)
        return;
    if (m_lastDirection)
        KeyReleased(m_lastDirection, 0);
    if (direction && m_canvas())
        Key(direction, true);
    m_lastDirection = direction;
}

} // namespace Quarn
