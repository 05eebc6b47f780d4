#include "Graphics/RenderTargetManager.h"

#include "Graphics/GraphicsError.h"
#include "platform/gfx/Device.h"

namespace Quarn
{

namespace gfx = platform::gfx;

gfx::Format RenderTargetManager::FormatNamed(std::string_view name)
{
    // Every name of the classic format table, matched exactly. Formats no render target can have here
    // (palettes, bump-map and video layouts, compressed blocks, vertex and index data, and packings the
    // device has no storage for) are Unknown, so that making a target of them fails and is reported. A
    // depth format without a storage of its exact bits takes one that holds them: the program never
    // sees a depth target's bits.
    static constexpr struct
    {
        std::string_view name;
        gfx::Format format;
    } kFormats[] = {
        {"R8G8B8", gfx::Format::R8G8B8},
        {"A8R8G8B8", gfx::Format::A8R8G8B8},
        {"X8R8G8B8", gfx::Format::X8R8G8B8},
        {"R5G6B5", gfx::Format::R5G6B5},
        {"X1R5G5B5", gfx::Format::X1R5G5B5},
        {"A4R4G4B4", gfx::Format::A4R4G4B4},
        {"R3G3B2", gfx::Format::R3G3B2},
        {"A8", gfx::Format::A8},
        {"A8R3G3B2", gfx::Format::Unknown},
        {"X4R4G4B4", gfx::Format::X4R4G4B4},
        {"A2B10G10R10", gfx::Format::A2B10G10R10},
        {"A8B8G8R8", gfx::Format::A8B8G8R8},
        {"X8B8G8R8", gfx::Format::X8B8G8R8},
        {"G16R16", gfx::Format::G16R16},
        {"A2R10G10B10", gfx::Format::A2R10G10B10},
        {"A16B16G16R16", gfx::Format::A16B16G16R16},
        {"A8P8", gfx::Format::Unknown},
        {"P8", gfx::Format::Unknown},
        {"L8", gfx::Format::L8},
        {"A8L8", gfx::Format::A8L8},
        {"A4L4", gfx::Format::Unknown},
        {"V8U8", gfx::Format::Unknown},
        {"L6V5U5", gfx::Format::Unknown},
        {"X8L8V8U8", gfx::Format::Unknown},
        {"Q8W8V8U8", gfx::Format::Unknown},
        {"V16U16", gfx::Format::Unknown},
        {"A2W10V10U10", gfx::Format::Unknown},
        {"UYVY", gfx::Format::Unknown},
        {"R8G8_B8G8", gfx::Format::Unknown},
        {"YUY2", gfx::Format::Unknown},
        {"G8R8_G8B8", gfx::Format::Unknown},
        {"DXT1", gfx::Format::Dxt1},
        {"DXT2", gfx::Format::Unknown},
        {"DXT3", gfx::Format::Dxt3},
        {"DXT4", gfx::Format::Unknown},
        {"DXT5", gfx::Format::Dxt5},
        {"D16_LOCKABLE", gfx::Format::D16},
        {"D32", gfx::Format::D32},
        {"D15S1", gfx::Format::D24S8},
        {"D24S8", gfx::Format::D24S8},
        {"D24X8", gfx::Format::D24X8},
        {"D24X4S4", gfx::Format::D24S8},
        {"D16", gfx::Format::D16},
        {"D32F_LOCKABLE", gfx::Format::D32F},
        {"D24FS8", gfx::Format::D32FS8},
        {"L16", gfx::Format::L16},
        {"VERTEXDATA", gfx::Format::Unknown},
        {"INDEX16", gfx::Format::Unknown},
        {"INDEX32", gfx::Format::Unknown},
        {"Q16W16V16U16", gfx::Format::Unknown},
        {"MULTI2_ARGB8", gfx::Format::Unknown},
        {"R16F", gfx::Format::R16F},
        {"G16R16F", gfx::Format::G16R16F},
        {"A16B16G16R16F", gfx::Format::A16B16G16R16F},
        {"R32F", gfx::Format::R32F},
        {"G32R32F", gfx::Format::G32R32F},
        {"A32B32G32R32F", gfx::Format::A32B32G32R32F},
        {"CxV8U8", gfx::Format::Unknown},
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

void RenderTargetManager::Release(std::uint32_t id)
{
    m_targets.erase(id);
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
