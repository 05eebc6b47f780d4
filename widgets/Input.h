#pragma once

#include "widgets/Structures.h"

#include <string>

namespace Gui
{

namespace Controls
{
class Base;
class Canvas;
} // namespace Controls

// Key codes of InputKey, OnKeyPress and OnKeyRelease.
namespace Key
{
enum : int
{
    Invalid = 0,
    Return = 1,
    Backspace = 2,
    Delete = 3,
    Left = 4,
    Right = 5,
    Shift = 6,
    Tab = 7,
    Space = 8,
    Home = 9,
    End = 10,
    Control = 11,
    Up = 12,
    Down = 13,
    Escape = 14,
    Count = 16,
};
}

// The library-wide input state (pointer, held keys, click times) and how a canvas's raw input becomes
// calls on controls: hover changes, keyboard focus on click, double clicks, key repeat, accelerators.
namespace Input
{

// Offered every button press before the controls; one that returns true consumes it.
class Hook
{
public:
    virtual ~Hook() = default;
    virtual bool OnMouseClicked(Controls::Base* hovered, int x, int y) = 0;
};

inline constexpr float kKeyRepeatDelay = 0.3f;
inline constexpr float kKeyRepeatRate = 0.03f;
inline constexpr float kDoubleClickSpeed = 0.5f;
inline constexpr int kMouseButtons = 6;

void OnMouseMoved(Controls::Canvas* canvas, int x, int y, int dx, int dy);
bool OnMouseClicked(Controls::Canvas* canvas, int button, bool down);
bool OnKeyEvent(Controls::Canvas* canvas, int key, bool down);
bool HandleAccelerator(Controls::Canvas* canvas, wchar_t character);
// Focus clean-up and key repeat.
void OnCanvasThink(Controls::Canvas* canvas);
// Ctrl with c, v, x or a (either case) as copy, paste, cut and select all on the focused control.
bool DoSpecialKeys(Controls::Canvas* canvas, wchar_t character);

bool IsKeyDown(int key);
bool IsControlDown();
bool IsShiftDown();
bool IsLeftMouseDown();
bool IsRightMouseDown();
Point GetMousePosition();
// Whether the pointer is over the control holding the mouse: the hover stays with that control wherever
// the pointer goes, this says where it is. True until a move says otherwise after each press.
bool IsPointerOverMouseFocus();

void AddInputHook(Hook* hook);
void RemoveInputHook(Hook* hook);

// Back to the state at start: nothing held, no clicks yet, no hooks.
void Reset();

} // namespace Input
} // namespace Gui
