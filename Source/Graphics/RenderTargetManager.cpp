#include "Graphics/RenderTargetManager.h"

#include "platform/gfx/Device.h"

namespace Quarn
{

void RenderTargetManager::OnLostDevice(platform::gfx::Device* device)
{
    if (!device)
        return;
    device->SetRenderTarget(1, nullptr);
    device->SetRenderTarget(2, nullptr);
}

void RenderTargetManager::OnResetDevice(std::uint32_t width, std::uint32_t height, platform::gfx::Device*)
{
    m_width = width;
    m_height = height;
}

} // namespace Quarn
