#include "platform/gfx/Device.h"

#include <algorithm>

namespace Quarn::platform::gfx
{

namespace
{
struct ResultText
{
    const char* name;
    const char* description;
};

// In the order of Result::Code.
constexpr ResultText kResultTexts[] = {
    {"OK", "The call succeeded."},
    {"DEVICE_LOST", "The device is lost and cannot be reset yet."},
    {"DEVICE_NOT_RESET", "The device is lost and can be reset now."},
    {"INVALID_CALL", "The call was invalid, for example a parameter had a value the device cannot take."},
    {"NOT_AVAILABLE", "The machine does not support what was asked for."},
    {"OUT_OF_VIDEO_MEMORY", "There is not enough video memory for the call."},
    {"DRIVER_INTERNAL_ERROR", "The graphics driver failed."},
};
} // namespace

const char* Result::Name() const
{
    return kResultTexts[static_cast<std::size_t>(m_code)].name;
}

const char* Result::Description() const
{
    return kResultTexts[static_cast<std::size_t>(m_code)].description;
}

std::vector<Rect> ClearedRects(std::span<const Rect> rects, const Viewport& viewport)
{
    const Rect whole{static_cast<std::int32_t>(viewport.x), static_cast<std::int32_t>(viewport.y),
                     static_cast<std::int32_t>(viewport.x + viewport.width),
                     static_cast<std::int32_t>(viewport.y + viewport.height)};
    if (rects.empty())
        return {whole};
    std::vector<Rect> cleared;
    for (const Rect& rect : rects)
    {
        const Rect clipped{std::max(rect.left, whole.left), std::max(rect.top, whole.top),
                           std::min(rect.right, whole.right), std::min(rect.bottom, whole.bottom)};
        if (clipped.right > clipped.left && clipped.bottom > clipped.top)
            cleared.push_back(clipped);
    }
    return cleared;
}

} // namespace Quarn::platform::gfx
