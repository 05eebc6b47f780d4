#pragma once

#include "Core/Vector2.h"
#include "Input/InputTypes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace Gui::Controls
{
class Canvas;
}

namespace Quarn
{

// Feeds the engine's input into the active widget canvas and answers whether the widgets took each event
// (a taken event is kept from the game): mouse buttons (left as the widgets' button 0, every other as 2),
// the wheel, keys by the widgets' key codes, characters, and the left thumbstick of any pad as arrow keys.
class GuiInputBridge
{
public:
    // The active canvas, or null; whether the engine holds a virtual key down.
    using CanvasSource = std::function<Gui::Controls::Canvas*()>;
    using KeyQuery = std::function<bool(unsigned char)>;

    GuiInputBridge(CanvasSource canvas, KeyQuery keyDown);

    bool MousePressed(MouseButtons button);
    bool MouseReleased(MouseButtons button);
    void MouseWheel(float delta);
    bool KeyPressed(unsigned char virtualKey, unsigned char scanCode);
    bool KeyReleased(unsigned char virtualKey, unsigned char scanCode);
    // One byte of UTF-8 text: the widgets get the character once its last byte has come.
    bool Character(char byte);
    void LeftThumbMoved(unsigned char pad, const Vector2& position, const Vector2& delta);

    // The widget key code of a virtual key, 0 for keys the widgets are not given (Escape among them).
    static int WidgetKey(unsigned char virtualKey);

private:
    bool Key(unsigned char virtualKey, bool down);
    // Gives the canvas the keyboard focus when no control has it.
    static void FocusCanvasIfNone(Gui::Controls::Canvas& canvas);

    CanvasSource m_canvas;
    KeyQuery m_keyDown;
    // The arrow key the thumbstick holds down (0: none).
    unsigned char m_lastDirection = 0;
    // The bytes of a character still coming.
    std::string m_pendingText;
};

} // namespace Quarn
