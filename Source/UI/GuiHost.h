#pragma once

#include <cstdint>

namespace Quarn
{

namespace platform::gfx
{
class Device;
}

// The UI host: the widget canvas drawn over the game. The canvas, its renderer and the script bindings
// come with the engine UI; until then the host has no canvas.
class GuiHost
{
public:
    void Init(platform::gfx::Device* device, std::uint32_t width, std::uint32_t height);
    void Update(float dt);
    bool HasCanvas() const { return false; }
    void RenderCanvas();
};

} // namespace Quarn
