#pragma once

#include "e2e/ChildProcessSupport.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Quarn::test
{

// An X server of its own (Xvfb) on a display number no other server uses, for the lifetime of the object.
class VirtualDisplay
{
public:
    explicit VirtualDisplay(const std::filesystem::path& logFile);

    // ":N", or empty when the server did not come up.
    const std::string& Name() const { return m_name; }
    // Asks a top-level window to close as a window manager's close button does (WM_DELETE_WINDOW).
    bool CloseWindow(unsigned long window) const;
    // What the window shows, as 0xRRGGBB values, rows from the top; empty when it cannot be read.
    struct Picture
    {
        unsigned width = 0;
        unsigned height = 0;
        std::vector<std::uint32_t> pixels;
        std::uint32_t At(unsigned x, unsigned y) const { return pixels[std::size_t{y} * width + x]; }
    };
    Picture Capture(unsigned long window) const;
    // The text its owner gives for the desktop clipboard (the CLIPBOARD selection, as UTF-8), asked as any
    // other program would ask; nothing when there is no owner or it did not answer within a few seconds.
    std::optional<std::string> ClipboardText() const;

private:
    std::unique_ptr<ChildProcess> m_server;
    std::string m_name;
};

// Runs xdotool on the display and returns its standard output, or nothing when it failed.
std::optional<std::string> XDoTool(const std::string& display, std::vector<std::string> arguments);

} // namespace Quarn::test
