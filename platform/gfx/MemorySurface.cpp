#include "platform/gfx/MemorySurface.h"

#include <algorithm>
#include <cstring>

namespace Quarn::platform::gfx
{

bool IsLockableRect(const SurfaceDesc& desc, const Rect* rect)
{
    if (!rect)
        return true;
    if (rect->left < 0 || rect->top < 0 || rect->right <= rect->left || rect->bottom <= rect->top ||
        static_cast<std::uint32_t>(rect->right) > desc.width ||
        static_cast<std::uint32_t>(rect->bottom) > desc.height)
        return false;
    return !IsCompressedFormat(desc.format) || (rect->left % 4 == 0 && rect->top % 4 == 0);
}

std::size_t ByteOffsetOf(const SurfaceDesc& desc, std::uint32_t pitch, const Rect* rect)
{
    if (!rect)
        return 0;
    const auto left = static_cast<std::uint32_t>(rect->left);
    const auto top = static_cast<std::uint32_t>(rect->top);
    if (IsCompressedFormat(desc.format))
        return std::size_t{top / 4} * pitch + std::size_t{left / 4} * RowPitch(desc.format, 4);
    return std::size_t{top} * pitch + RowPitch(desc.format, left);
}

MemorySurface::MemorySurface(const SurfaceDesc& desc)
    : Surface(desc), m_pitch(RowPitch(desc.format, desc.width)),
      m_bytes(std::size_t{m_pitch} * RowCount(desc.format, desc.height))
{
}

Result MemorySurface::LockRect(LockedRect& locked, const Rect* rect, std::uint32_t)
{
    const SurfaceDesc& desc = GetDesc();
    if (m_locked || (desc.usage & (kUsageRenderTarget | kUsageDepthStencil)) || IsDepthFormat(desc.format) ||
        !IsLockableRect(desc, rect))
        return Result::Code::InvalidCall;
    m_locked = true;
    locked.pitch = static_cast<std::int32_t>(m_pitch);
    locked.bits = m_bytes.data() + ByteOffsetOf(desc, m_pitch, rect);
    return Result::Code::Ok;
}

Result MemorySurface::UnlockRect()
{
    if (!m_locked)
        return Result::Code::InvalidCall;
    m_locked = false;
    return Result::Code::Ok;
}

void MemorySurface::Fill(const Rect* rect, std::uint32_t colour)
{
    const SurfaceDesc& desc = GetDesc();
    const Rect whole{0, 0, static_cast<std::int32_t>(desc.width), static_cast<std::int32_t>(desc.height)};
    const Rect& area = rect ? *rect : whole;
    for (std::int32_t y = std::max(area.top, 0); y < std::min(area.bottom, whole.bottom); ++y)
        for (std::int32_t x = std::max(area.left, 0); x < std::min(area.right, whole.right); ++x)
            std::memcpy(&m_bytes[static_cast<std::size_t>(y) * m_pitch + static_cast<std::size_t>(x) * 4],
                        &colour, 4);
}

void MemorySurface::ReadColours(std::vector<std::uint32_t>& pixels) const
{
    const SurfaceDesc& desc = GetDesc();
    const std::uint32_t opaque = desc.format == Format::X8R8G8B8 ? 0xFF000000u : 0;
    pixels.resize(std::size_t{desc.width} * desc.height);
    for (std::uint32_t y = 0; y < desc.height; ++y)
        for (std::uint32_t x = 0; x < desc.width; ++x)
        {
            std::uint32_t colour = 0;
            std::memcpy(&colour, &m_bytes[std::size_t{y} * m_pitch + std::size_t{x} * 4], 4);
            pixels[std::size_t{y} * desc.width + x] = colour | opaque;
        }
}

} // namespace Quarn::platform::gfx
