#pragma once

#include "platform/window/DroppedFiles.h"

#include <cstdint>
#include <memory>

namespace Quarn::platform
{

class Window;
using WindowHandle = Window*;
// What a window procedure answers for a message.
using WindowResult = std::intptr_t;

// The messages a window procedure receives. Each carries its parameters already decoded in the fields of
// WindowMessage named beside it.
enum class WindowMessageId : std::uint32_t
{
    None = 0,
    Create,           // width, height: client size
    Destroy,          // the window is going away for good
    Size,             // width, height, sizeKind
    Activate,         // active, minimized
    Close,            // the user asked to close the window
    Quit,             // posted by PostQuitMessage; belongs to no window
    KeyDown,          // virtualKey, scanCode, extendedKey, repeat, altDown
    KeyUp,            // same
    Character,        // character: one Unicode code point of typed text
    SysKeyDown,       // key fields: F10, Alt itself, or any key while Alt (without Ctrl) is held
    SysKeyUp,         // key fields
    MouseMove,        // x, y: client pixels
    LeftButtonDown,   // x, y
    LeftButtonUp,     // x, y
    MiddleButtonDown, // x, y
    MiddleButtonUp,   // x, y
    RightButtonDown,  // x, y
    RightButtonUp,    // x, y
    ExtraButtonDown,  // x, y, extraButton 1 or 2
    ExtraButtonUp,    // x, y, extraButton
    MouseWheel,       // wheelDelta: 120 per notch, positive away from the user
    MouseLeave,       // the pointer left the client area
    DropFiles,        // files
    DeviceChange,     // a device (a pad) was plugged in or removed
};

enum class SizeKind : std::uint8_t
{
    Restored,
    Minimized,
    Maximized,
};

struct WindowMessage
{
    WindowMessageId id = WindowMessageId::None;

    std::uint32_t width = 0;
    std::uint32_t height = 0;
    SizeKind sizeKind = SizeKind::Restored;

    bool active = false;
    bool minimized = false;

    std::uint8_t virtualKey = 0;
    std::uint8_t scanCode = 0;
    bool extendedKey = false;
    bool repeat = false;
    bool altDown = false;

    char32_t character = 0;

    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint8_t extraButton = 0;
    std::int32_t wheelDelta = 0;

    std::shared_ptr<const DroppedFiles> files;

    static WindowMessage Plain(WindowMessageId id);
    static WindowMessage Sized(WindowMessageId id, std::uint32_t width, std::uint32_t height,
                               SizeKind kind = SizeKind::Restored);
    static WindowMessage Activation(bool active, bool minimized);
    static WindowMessage Key(WindowMessageId id, std::uint8_t virtualKey, std::uint8_t scanCode = 0,
                             bool repeat = false, bool altDown = false);
    static WindowMessage Char(char32_t character);
    static WindowMessage Mouse(WindowMessageId id, std::int32_t x, std::int32_t y);
    static WindowMessage Wheel(std::int32_t delta);
    static WindowMessage Drop(std::shared_ptr<const DroppedFiles> files);
};

} // namespace Quarn::platform
