#pragma once

#include <cstdint>

namespace Quarn
{

namespace platform::gfx
{
class Device;
}

// The render targets that effect scripts draw into, made the first time a script names them; their
// records come with the effect layer. Device loss releases their textures, a reset makes them again.
class RenderTargetManager
{
public:
    // Releases the targets' textures and unbinds render targets 1 and 2 (0 is the back buffer).
    void OnLostDevice(platform::gfx::Device* device);
    // Makes the targets again for a back buffer of that size.
    void OnResetDevice(std::uint32_t width, std::uint32_t height, platform::gfx::Device* device);

private:
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
};

} // namespace Quarn
