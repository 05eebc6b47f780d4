#include "platform/desktop/DesktopCapture.h"

#include "platform/core/Headless.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <memory>

namespace Quarn::platform
{

DesktopPicture GeneratedDesktop(std::uint32_t width, std::uint32_t height)
{
    DesktopPicture picture{width, height, {}};
    picture.pixels.reserve(std::size_t{width} * height);
    for (std::uint32_t y = 0; y < height; ++y)
    {
        const auto shade = static_cast<std::uint32_t>(40 + 160 * std::uint64_t{y} / std::max(1u, height));
        for (std::uint32_t x = 0; x < width; ++x)
            picture.pixels.push_back(0xFF000000u | (shade / 3) << 16 | (shade / 2) << 8 | shade);
    }
    return picture;
}

DesktopPicture CaptureDesktop(std::uint32_t width, std::uint32_t height)
{
    if (IsHeadless())
        return GeneratedDesktop(width, height);
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display)
        return GeneratedDesktop(width, height);
    const Window root = DefaultRootWindow(display.get());
    XWindowAttributes attributes{};
    XGetWindowAttributes(display.get(), root, &attributes);
    const auto capturedWidth = std::min(width, static_cast<std::uint32_t>(std::max(0, attributes.width)));
    const auto capturedHeight = std::min(height, static_cast<std::uint32_t>(std::max(0, attributes.height)));
    XImage* image = capturedWidth && capturedHeight ? XGetImage(display.get(), root, 0, 0, capturedWidth,
                                                                capturedHeight, AllPlanes, ZPixmap)
                                                    : nullptr;
    if (!image)
        return GeneratedDesktop(width, height);
    DesktopPicture picture{capturedWidth, capturedHeight, {}};
    picture.pixels.reserve(std::size_t{capturedWidth} * capturedHeight);
    const auto channel = [](unsigned long pixel, unsigned long mask)
    {
        if (mask == 0)
            return 0u;
        int shift = 0;
        while (!(mask >> shift & 1))
            ++shift;
        const unsigned long value = (pixel & mask) >> shift;
        const unsigned long maximum = mask >> shift;
        return static_cast<std::uint32_t>(value * 255 / maximum);
    };
    for (std::uint32_t y = 0; y < capturedHeight; ++y)
        for (std::uint32_t x = 0; x < capturedWidth; ++x)
        {
            const unsigned long pixel = XGetPixel(image, static_cast<int>(x), static_cast<int>(y));
            picture.pixels.push_back(0xFF000000u | channel(pixel, image->red_mask) << 16 |
                                     channel(pixel, image->green_mask) << 8 |
                                     channel(pixel, image->blue_mask));
        }
    XDestroyImage(image);
    return picture;
}

} // namespace Quarn::platform
