#pragma once

#include <cstdint>

namespace Quarn::platform::gfx
{

// The largest width or height a texture or picture file may give itself. Readers refuse a larger one
// from its header, before they allocate anything for its pixels.
inline constexpr std::uint32_t kLargestTextureSide = 16384;

} // namespace Quarn::platform::gfx
