#pragma once

#include <cstddef>

namespace Quarn
{

// The state a key, mouse button or pad button is reported in. KEY_Up is never sent.
enum KeyState
{
    KEY_Up = 0,
    KEY_Pressed = 2,
    KEY_Down = 4,
    KEY_Released = 8,
};

// Mouse buttons continue the 0..255 key codes, so keys and buttons share one numbering.
enum MouseButtons
{
    MOUSE_Left = 255,
    MOUSE_Middle = 256,
    MOUSE_Right = 257,
    MOUSE_X1 = 258,
    MOUSE_X2 = 259,
    MOUSE_Count = 260,
};

enum ControllerButtons
{
    XBOX_DPad_Up = 0,
    XBOX_DPad_Down = 1,
    XBOX_DPad_Left = 2,
    XBOX_DPad_Right = 3,
    XBOX_Start = 4,
    XBOX_Back = 5,
    XBOX_LThumb_Click = 6,
    XBOX_RThumb_Click = 7,
    XBOX_LShoulder = 8,
    XBOX_RShoulder = 9,
    XBOX_A = 10,
    XBOX_B = 11,
    XBOX_X = 12,
    XBOX_Y = 13,
    XBOX_Count = 14,
};

enum Sticks
{
    STICK_Left = 0,
    STICK_Right = 1,
    STICK_Count = 2,
};

enum Triggers
{
    TRIGGER_Left = 0,
    TRIGGER_Right = 1,
    TRIGGER_Count = 2,
};

// Which motor a rumble function drives: the light (right) one, the heavy (left) one, or both.
enum RumbleType
{
    RUMBLETYPE_Light = 0,
    RUMBLETYPE_Heavy = 1,
    RUMBLETYPE_Both = 2,
};

// Curves scripts may shape their own rumble functions with; the engine does not use them.
enum RumbleShape
{
    RUMBLE_SineSharp = 0,
    RUMBLE_Linear = 1,
    RUMBLE_Smooth = 2,
};

inline constexpr std::size_t kInputPads = 4;
inline constexpr std::size_t kKeyCount = 256;
inline constexpr std::size_t kRumbleTypes = 3;

} // namespace Quarn
