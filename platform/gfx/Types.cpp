#include "platform/gfx/Types.h"

#include <algorithm>
#include <iterator>

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

namespace
{
struct FormatFacts
{
    const char* name;
    std::uint8_t bytes; // per pixel, or per 4 x 4 block when compressed
    bool compressed;
    bool depth;
};

// In the order of Format.
constexpr FormatFacts kFormats[] = {
    {"UNKNOWN", 0, false, false},
    {"A8R8G8B8", 4, false, false},
    {"X8R8G8B8", 4, false, false},
    {"A8", 1, false, false},
    {"R32F", 4, false, false},
    {"G16R16F", 4, false, false},
    {"A16B16G16R16F", 8, false, false},
    {"A32B32G32R32F", 16, false, false},
    {"DXT1", 8, true, false},
    {"DXT3", 16, true, false},
    {"DXT5", 16, true, false},
    {"D16", 2, false, true},
    {"D24X8", 4, false, true},
    {"D24S8", 4, false, true},
    {"D32F", 4, false, true},
    {"R8G8B8", 3, false, false},
    {"R5G6B5", 2, false, false},
    {"X1R5G5B5", 2, false, false},
    {"A4R4G4B4", 2, false, false},
    {"X4R4G4B4", 2, false, false},
    {"R3G3B2", 1, false, false},
    {"A2B10G10R10", 4, false, false},
    {"A2R10G10B10", 4, false, false},
    {"A8B8G8R8", 4, false, false},
    {"X8B8G8R8", 4, false, false},
    {"G16R16", 4, false, false},
    {"A16B16G16R16", 8, false, false},
    {"L8", 1, false, false},
    {"A8L8", 2, false, false},
    {"L16", 2, false, false},
    {"R16F", 2, false, false},
    {"G32R32F", 8, false, false},
    {"D32", 4, false, true},
    {"D32FS8", 8, false, true},
};
static_assert(std::size(kFormats) == static_cast<std::size_t>(Format::D32FS8) + 1);

const FormatFacts& FactsOf(Format format)
{
    return kFormats[static_cast<std::size_t>(format)];
}
} // namespace

bool IsDepthFormat(Format format)
{
    return FactsOf(format).depth;
}

bool HasStencil(Format format)
{
    return format == Format::D24S8 || format == Format::D32FS8;
}

bool IsCompressedFormat(Format format)
{
    return FactsOf(format).compressed;
}

std::uint32_t RowPitch(Format format, std::uint32_t width)
{
    const FormatFacts& facts = FactsOf(format);
    return facts.compressed ? std::max(1u, (width + 3) / 4) * facts.bytes : width * facts.bytes;
}

std::uint32_t RowCount(Format format, std::uint32_t height)
{
    return FactsOf(format).compressed ? std::max(1u, (height + 3) / 4) : height;
}

const char* FormatName(Format format)
{
    return FactsOf(format).name;
}

std::uint32_t VertexCountOf(PrimitiveType type, std::uint32_t primitives)
{
    switch (type)
    {
    case PrimitiveType::PointList:
        return primitives;
    case PrimitiveType::LineList:
        return primitives * 2;
    case PrimitiveType::LineStrip:
        return primitives + 1;
    case PrimitiveType::TriangleList:
        return primitives * 3;
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan:
        return primitives + 2;
    }
    return 0;
}

} // namespace Quarn::platform::gfx
