#pragma once

#include <cstdint>
#include <vector>

namespace Quarn::platform
{

// What the desktop shows: width x height packed colours (alpha in the top byte, then red, green,
// blue), rows from the top.
struct DesktopPicture
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

// The X display's root window, at most width x height of it from its upper-left corner. A headless run,
// or one without a display, gets a generated picture of that size instead: a vertical blue gradient.
// Every pixel's alpha is 255.
DesktopPicture CaptureDesktop(std::uint32_t width, std::uint32_t height);

// The picture a capture gives when there is no display to read.
DesktopPicture GeneratedDesktop(std::uint32_t width, std::uint32_t height);

} // namespace Quarn::platform
