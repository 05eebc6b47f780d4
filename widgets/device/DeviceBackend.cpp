#include "widgets/device/DeviceBackend.h"

#include "platform/gfx/DeviceFont.h"
#include "platform/gfx/ImageFile.h"
#include "widgets/Utility.h"

namespace Gui::Renderer
{

namespace gfx = Quarn::platform::gfx;

namespace
{

// A vertex as the device's pass-through stage takes it: a pre-transformed position, a colour and one
// pair of texture coordinates.
struct DeviceVertex
{
    float x, y, z, rhw;
    std::uint32_t colour;
    float u, v;
};

struct LoadedTexture
{
    std::shared_ptr<gfx::Texture> texture;
};

} // namespace

DeviceBackend::DeviceBackend(gfx::Device& device) : m_device(device)
{
    const gfx::VertexElement elements[] = {{0, 0, gfx::DeclType::Float4, gfx::DeclUsage::PositionT, 0},
                                           {0, 16, gfx::DeclType::Colour, gfx::DeclUsage::Colour, 0},
                                           {0, 20, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0}};
    m_device.CreateVertexDeclaration(elements, m_declaration);
}

DeviceBackend::~DeviceBackend() = default;

void DeviceBackend::BeginFrame()
{
    m_device.CreateStateBlock(m_saved);
    m_device.SetVertexShader(nullptr);
    m_device.SetPixelShader(nullptr);
    m_device.SetVertexDeclaration(m_declaration);
    m_device.SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
    m_device.SetRenderState(gfx::RenderState::SrcBlend, gfx::kBlendSrcAlpha);
    m_device.SetRenderState(gfx::RenderState::DestBlend, gfx::kBlendInvSrcAlpha);
    m_device.SetRenderState(gfx::RenderState::ZEnable, 0);
    m_device.SetRenderState(gfx::RenderState::CullMode, gfx::kCullNone);
    for (const gfx::SamplerState state :
         {gfx::SamplerState::MagFilter, gfx::SamplerState::MinFilter, gfx::SamplerState::MipFilter})
        m_device.SetSamplerState(0, state, gfx::kFilterLinear);
    m_device.SetSamplerState(0, gfx::SamplerState::AddressU, gfx::kAddressClamp);
    m_device.SetSamplerState(0, gfx::SamplerState::AddressV, gfx::kAddressClamp);
}

void DeviceBackend::EndFrame()
{
    if (m_saved)
        m_device.ApplyStateBlock(*m_saved);
    m_saved.reset();
}

void DeviceBackend::DrawTriangles(std::span<const Vertex> vertices, void* texture)
{
    std::vector<DeviceVertex> converted;
    converted.reserve(vertices.size());
    // Pixel centres lie half a pixel inside their corners: a rectangle from x to x + w covers w pixels.
    for (const Vertex& vertex : vertices)
        converted.push_back(
            {vertex.x - 0.5f, vertex.y - 0.5f, 0.5f, 1.0f, vertex.colour, vertex.u, vertex.v});
    m_device.SetVertexDeclaration(m_declaration);
    m_device.SetTexture(0, texture ? static_cast<LoadedTexture*>(texture)->texture : nullptr);
    m_device.DrawPrimitiveUP(gfx::PrimitiveType::TriangleList,
                             static_cast<std::uint32_t>(converted.size() / 3), converted.data(),
                             sizeof(DeviceVertex));
}

void DeviceBackend::SetScissor(const Rect* pixels)
{
    if (pixels)
        m_device.SetScissorRect({pixels->x, pixels->y, pixels->x + pixels->w, pixels->y + pixels->h});
    m_device.SetRenderState(gfx::RenderState::ScissorTestEnable, pixels ? 1 : 0);
}

bool DeviceBackend::LoadTextureData(Texture& texture)
{
    gfx::DecodedImage image;
    std::string error;
    if (!gfx::DecodeImageFile(Utility::UnicodeToString(texture.name), image, error))
        return false;
    auto loaded = std::make_unique<LoadedTexture>();
    if (gfx::CreateImageTexture(m_device, image, loaded->texture).Failed())
        return false;
    texture.data = loaded.release();
    texture.width = static_cast<std::int32_t>(image.width);
    texture.height = static_cast<std::int32_t>(image.height);
    return true;
}

void DeviceBackend::FreeTextureData(Texture& texture)
{
    delete static_cast<LoadedTexture*>(texture.data);
}

void* DeviceBackend::LoadFontData(const std::wstring& face, int pixelHeight)
{
    std::unique_ptr<gfx::DeviceFont> font;
    std::string error;
    if (gfx::DeviceFont::Create(
            m_device, {Utility::UnicodeToString(face), static_cast<std::uint32_t>(std::max(1, pixelHeight))},
            font, error)
            .Failed())
        return nullptr;
    return font.release();
}

void DeviceBackend::FreeFontData(void* font)
{
    delete static_cast<gfx::DeviceFont*>(font);
}

Point DeviceBackend::MeasureString(void* font, const std::wstring& text)
{
    std::wstring counted = text;
    counted.erase(counted.find_last_not_of(L' ') == std::wstring::npos ? 0
                                                                       : counted.find_last_not_of(L' ') + 1);
    auto* deviceFont = static_cast<gfx::DeviceFont*>(font);
    return Point(deviceFont->Advance(Utility::UnicodeToString(counted)), deviceFont->LineHeight());
}

void DeviceBackend::DrawString(void* font, int x, int y, int flags, std::uint32_t colour,
                               const std::wstring& text)
{
    gfx::Rect place{x, y, x, y};
    const std::uint32_t anchor = flags & 4    ? std::uint32_t{gfx::kTextRight}
                                 : flags & 64 ? std::uint32_t{gfx::kTextCentre}
                                              : 0u;
    const std::uint32_t format = gfx::kTextNoClip | anchor;
    static_cast<gfx::DeviceFont*>(font)->DrawText(Utility::UnicodeToString(text), place, format, colour);
    // The font draws in its own states; the widget states come back for the next triangles.
    m_device.SetVertexDeclaration(m_declaration);
    m_device.SetSamplerState(0, gfx::SamplerState::MagFilter, gfx::kFilterLinear);
    m_device.SetSamplerState(0, gfx::SamplerState::MinFilter, gfx::kFilterLinear);
    m_device.SetSamplerState(0, gfx::SamplerState::MipFilter, gfx::kFilterLinear);
}

} // namespace Gui::Renderer
