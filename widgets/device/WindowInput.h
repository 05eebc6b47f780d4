#pragma once

#include "platform/window/WindowMessage.h"

namespace Gui
{

namespace Controls
{
class Canvas;
}

// Hands a desktop window's mouse, key and text messages to a canvas: the pointer in client pixels, left,
// right and middle buttons as 0, 1 and 2, the wheel, the keys the widgets know by their key codes, typed
// characters, and letters pressed with Control (for accelerators). Answers whether the widgets used the
// message; other messages are not theirs.
class WindowInput
{
public:
    explicit WindowInput(Controls::Canvas& canvas) : m_canvas(canvas) {}

    bool Feed(const Quarn::platform::WindowMessage& message);

    // The widget key code of a virtual key, 0 for keys the widgets do not know.
    static int KeyCode(std::uint8_t virtualKey);

private:
    Controls::Canvas& m_canvas;
    std::int32_t m_lastX = 0;
    std::int32_t m_lastY = 0;
};

} // namespace Gui
