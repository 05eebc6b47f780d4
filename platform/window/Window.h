#pragma once

#include "platform/window/WindowMessage.h"

#include <memory>
#include <string>

namespace Quarn::platform
{

// Receives every message of a window; its result goes back to whoever sent the message.
using WindowProcedure = WindowResult (*)(WindowHandle window, const WindowMessage& message);

// What a window does with a message its procedure does not handle: closing destroys the window, and
// Alt+F4 asks it to close. Everything else is answered with 0.
WindowResult DefaultWindowProcedure(WindowHandle window, const WindowMessage& message);

struct PixelSize
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// What a desktop is taken to measure when none can be asked: headless runs, or no display.
inline constexpr PixelSize kFallbackDesktopSize{1024, 768};

// The size of the main display's desktop in pixels.
PixelSize DesktopSize();

// How a window shows: a framed window of a client size at a place on the desktop, or full screen at a
// size, either over the desktop as it is (when the size is the desktop's) or by a change of display mode.
struct WindowMode
{
    bool fullScreen = false;
    std::uint32_t width = 800; // client area, or the full-screen size
    std::uint32_t height = 600;
    // Where a framed window's client area goes; a negative value keeps the window where it is.
    std::int32_t x = -1;
    std::int32_t y = -1;
};

struct WindowDesc
{
    std::string title;
    std::uint32_t width = 800; // client area in pixels
    std::uint32_t height = 600;
    WindowProcedure procedure = DefaultWindowProcedure;
};

// A top-level window: a procedure that receives its messages, a slot for the owner's data, and its client
// size. Messages are either sent (the procedure runs at once) or posted to the program's message queue
// (MessageQueue) and delivered when the queue is pumped.
class Window
{
public:
    // Makes the program's window, still hidden: a headless one when the run is headless, else a desktop
    // window. During creation the procedure receives Create and Size (before any user data can be set,
    // so a procedure that needs its data passes them on to DefaultWindowProcedure). Null when the desktop
    // refuses, with the reason in error.
    static std::unique_ptr<Window> Create(const WindowDesc& desc, std::string& error);

    // Goes without any message: a window that should tell its procedure it is going calls Destroy first.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    void SetUserData(void* data) { m_userData = data; }
    void* UserData() const { return m_userData; }

    // Runs the procedure at once; a destroyed window answers 0 and runs nothing.
    WindowResult Send(const WindowMessage& message);
    // Queues the message for the next pump; a destroyed window drops it.
    void Post(const WindowMessage& message);

    // Shows the window; like a window that has just appeared it is then told it is active and its size.
    void Show();
    // Sends Destroy, then the window is gone for good: its queued messages are dropped, its desktop
    // window closes, and it takes no further messages.
    void Destroy();
    bool IsDestroyed() const { return m_destroyed; }

    // Whether files dropped on the window reach it as DropFiles messages (off until asked for).
    void AcceptFiles(bool accept) { m_acceptsFiles = accept; }
    bool AcceptsFiles() const { return m_acceptsFiles; }

    // Switches between framed and full screen, resizes and moves; the client size is the mode's after.
    void SetMode(const WindowMode& mode);
    bool IsFullScreen() const { return m_fullScreen; }

    std::uint32_t ClientWidth() const { return m_width; }
    std::uint32_t ClientHeight() const { return m_height; }
    const std::string& Title() const { return m_title; }
    // The desktop's own id of the window (an X11 window id), which other programs can put their windows
    // over; 0 when there is none, as for a headless window.
    virtual std::uint64_t NativeId() const { return 0; }

protected:
    explicit Window(const WindowDesc& desc);
    void SetClientSize(std::uint32_t width, std::uint32_t height);

private:
    virtual void ShowNative() = 0;
    virtual void DestroyNative() = 0;
    virtual void SetModeNative(const WindowMode&) {}

    WindowProcedure m_procedure;
    void* m_userData = nullptr;
    std::string m_title;
    std::uint32_t m_width;
    std::uint32_t m_height;
    bool m_destroyed = false;
    bool m_acceptsFiles = false;
    bool m_fullScreen = false;
};

} // namespace Quarn::platform
