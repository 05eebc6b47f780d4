#include "platform/gfx/Resources.h"

#include <algorithm>
#include <bit>

namespace Quarn::platform::gfx
{

Result Texture::GetLevelDesc(std::uint32_t level, SurfaceDesc& desc) const
{
    if (level >= m_levels.size())
        return Result::Code::InvalidCall;
    desc = m_levels[level]->GetDesc();
    return Result::Code::Ok;
}

Result Texture::GetSurfaceLevel(std::uint32_t level, std::shared_ptr<Surface>& surface) const
{
    if (level >= m_levels.size())
        return Result::Code::InvalidCall;
    surface = m_levels[level];
    return Result::Code::Ok;
}

Result Texture::LockRect(std::uint32_t level, LockedRect& locked, const Rect* rect, std::uint32_t flags)
{
    if (level >= m_levels.size())
        return Result::Code::InvalidCall;
    return m_levels[level]->LockRect(locked, rect, flags);
}

Result Texture::UnlockRect(std::uint32_t level)
{
    if (level >= m_levels.size())
        return Result::Code::InvalidCall;
    return m_levels[level]->UnlockRect();
}

std::uint32_t FullLevelCount(std::uint32_t width, std::uint32_t height)
{
    return static_cast<std::uint32_t>(std::bit_width(std::max({width, height, 1u})));
}

int AttributeLocation(DeclUsage usage, std::uint8_t usageIndex)
{
    switch (usage)
    {
    case DeclUsage::Position:
    case DeclUsage::PositionT:
        return usageIndex == 0 ? 0 : -1;
    case DeclUsage::Colour:
        return usageIndex < 2 ? 1 + usageIndex : -1;
    case DeclUsage::TexCoord:
        return usageIndex < kTexCoordLocations ? 3 + usageIndex : -1;
    case DeclUsage::Normal:
        return usageIndex == 0 ? 11 : -1;
    case DeclUsage::PointSize:
        return usageIndex == 0 ? 12 : -1;
    case DeclUsage::Tangent:
        return usageIndex == 0 ? 13 : -1;
    case DeclUsage::Binormal:
        return usageIndex == 0 ? 14 : -1;
    case DeclUsage::BlendWeight:
        return usageIndex == 0 ? 15 : -1;
    }
    return -1;
}

VertexDeclaration::VertexDeclaration(std::vector<VertexElement> elements)
    : m_elements(std::move(elements)),
      m_preTransformed(std::ranges::any_of(m_elements, [](const VertexElement& element)
                                           { return element.usage == DeclUsage::PositionT; }))
{
}

} // namespace Quarn::platform::gfx
