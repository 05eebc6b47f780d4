#include "Graphics/RenderTargetManager.h"

#include "Graphics/GraphicsError.h"
#include "platform/gfx/Device.h"

namespace Quarn
{

namespace gfx = platform::gfx;

gfx::Format RenderTargetManager::FormatNamed(std::string_view name)
{
    // Effect files name formats as the classic format table does; these are the ones the device makes.
    static constexpr struct
    {
        std::string_view name;
        gfx::Format format;
    } kFormats[] = {
        {"A8R8G8B8", gfx::Format::A8R8G8B8},
        {"X8R8G8B8", gfx::Format::X8R8G8B8},
        {"A8", gfx::Format::A8},
        {"R32F", gfx::Format::R32F},
        {"G16R16F", gfx::Format::G16R16F},
        {"A16B16G16R16F", gfx::Format::A16B16G16R16F},
        {"A32B32G32R32F", gfx::Format::A32B32G32R32F},
        {"DXT1", gfx::Format::Dxt1},
        {"DXT3", gfx::Format::Dxt3},
        {"DXT5", gfx::Format::Dxt5},
        {"D16", gfx::Format::D16},
        {"D24X8", gfx::Format::D24X8},
        {"D24S8", gfx::Format::D24S8},
        {"D32F_LOCKABLE", gfx::Format::D32F},
    };
    for (const auto& entry : kFormats)
        if (entry.name == name)
            return entry.format;
    return gfx::Format::Unknown;
}

void RenderTargetManager::MakeTexture(gfx::Device* device, Target& target) const
{
    target.texture.reset();
    if (!device)
        return;
    const float width = target.absolute ? target.size[0] : static_cast<float>(m_width) * target.size[0];
    const float height = target.absolute ? target.size[1] : static_cast<float>(m_height) * target.size[1];
    // The sizes come from effect files: negative, not finite or past what the device makes, they are
    // refused before they become pixel counts.
    const std::uint32_t largest = device->MaxTextureSize();
    const auto fits = [&](float side) { return side >= 1.0f && side < static_cast<float>(largest) + 1.0f; };
    if (!fits(width) || !fits(height))
    {
        QUARN_GRAPHICS_ERROR(gfx::Result::Code::InvalidCall,
                             "Failed to create render target. Its size %g x %g is not 1 to %u pixels a side.",
                             static_cast<double>(width), static_cast<double>(height), largest);
        return;
    }
    const std::uint32_t usage =
        gfx::IsDepthFormat(target.format) ? gfx::kUsageDepthStencil : gfx::kUsageRenderTarget;
    const gfx::Result made =
        device->CreateTexture(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 1, usage,
                              target.format, gfx::Pool::Default, target.texture);
    if (made.Failed())
    {
        target.texture.reset();
        QUARN_GRAPHICS_ERROR(made, "Failed to create render target.");
    }
}

std::uint32_t RenderTargetManager::Create(gfx::Device* device, gfx::Format format, const float size[2],
                                          bool absolute)
{
    Target& target = m_targets[m_nextId];
    target.format = format;
    target.size[0] = size[0];
    target.size[1] = size[1];
    target.absolute = absolute;
    MakeTexture(device, target);
    return m_nextId++;
}

const RenderTargetManager::Target& RenderTargetManager::Get(std::uint32_t id) const
{
    static const Target kNone;
    const auto found = m_targets.find(id);
    return found == m_targets.end() ? kNone : found->second;
}

void RenderTargetManager::OnLostDevice(gfx::Device* device)
{
    for (auto& [id, target] : m_targets)
        target.texture.reset();
    if (!device)
        return;
    device->SetRenderTarget(1, nullptr);
    device->SetRenderTarget(2, nullptr);
}

void RenderTargetManager::OnResetDevice(std::uint32_t width, std::uint32_t height, gfx::Device* device)
{
    m_width = width;
    m_height = height;
    for (auto& [id, target] : m_targets)
        MakeTexture(device, target);
}

} // namespace Quarn
