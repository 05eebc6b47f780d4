#include "widgets/device/DeviceBackend.h"

#include "platform/fonts/FontFile.h"
#include "platform/gfx/DeviceFont.h"
#include "platform/gfx/ImageFile.h"
#include "widgets/Utility.h"

namespace Gui::Renderer
{

namespace gfx = Quarn::platform::gfx;

namespace
{

struct LoadedTexture
{
    std::shared_ptr<gfx::Texture> texture;
};

void LinearFilters(gfx::Device& device)
{
    for (const gfx::SamplerState state :
         {gfx::SamplerState::MagFilter, gfx::SamplerState::MinFilter, gfx::SamplerState::MipFilter})
        device.SetSamplerState(0, state, gfx::kFilterLinear);
}

// A device font, and whether its text is Marlett's symbols to be moved onto the stand-in's characters.
struct LoadedFont
{
    std::unique_ptr<gfx::DeviceFont> font;
    bool marlett;

    // The text as the device font reads it, in a buffer kept between calls.
    const std::string& Text(std::wstring_view text)
    {
        if (!marlett)
        {
            Utility::AssignFromUnicode(utf8, text);
            return utf8;
        }
        moved.clear();
        for (const wchar_t c : text)
            moved.push_back(
                static_cast<wchar_t>(Quarn::platform::fonts::MarlettSymbol(static_cast<char32_t>(c))));
        Utility::AssignFromUnicode(utf8, moved);
        return utf8;
    }

    std::wstring moved;
    std::string utf8;
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
    // One block, captured again each frame, so that a frame allocates nothing.
    if (m_saved)
        m_saved->Capture();
    else
        m_device.CreateStateBlock(m_saved);
    m_inFrame = true;
    m_device.SetVertexShader(nullptr);
    m_device.SetPixelShader(nullptr);
    m_device.SetVertexDeclaration(m_declaration);
    m_device.SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
    m_device.SetRenderState(gfx::RenderState::SrcBlend, gfx::kBlendSrcAlpha);
    m_device.SetRenderState(gfx::RenderState::DestBlend, gfx::kBlendInvSrcAlpha);
    m_device.SetRenderState(gfx::RenderState::ZEnable, 0);
    m_device.SetRenderState(gfx::RenderState::CullMode, gfx::kCullNone);
    LinearFilters(m_device);
    m_device.SetSamplerState(0, gfx::SamplerState::AddressU, gfx::kAddressClamp);
    m_device.SetSamplerState(0, gfx::SamplerState::AddressV, gfx::kAddressClamp);
}

void DeviceBackend::EndFrame()
{
    if (!m_saved || !m_inFrame)
        return;
    m_inFrame = false;
    m_device.ApplyStateBlock(*m_saved);
    m_saved->Clear();
}

void DeviceBackend::DrawTriangles(std::span<const Vertex> vertices, void* texture)
{
    m_converted.clear();
    // Pixel centres lie half a pixel inside their corners: a rectangle from x to x + w covers w pixels.
    for (const Vertex& vertex : vertices)
        m_converted.push_back(
            {vertex.x - 0.5f, vertex.y - 0.5f, 0.5f, 1.0f, vertex.colour, vertex.u, vertex.v});
    m_device.SetVertexDeclaration(m_declaration);
    m_device.SetTexture(0, texture ? static_cast<LoadedTexture*>(texture)->texture : nullptr);
    m_device.DrawPrimitiveUP(gfx::PrimitiveType::TriangleList,
                             static_cast<std::uint32_t>(m_converted.size() / 3), m_converted.data(),
                             sizeof(gfx::ScreenVertex));
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
    const std::string family = Utility::UnicodeToString(face);
    const gfx::FontDesc desc{family, static_cast<std::uint32_t>(std::max(1, pixelHeight))};
    auto loaded =
        std::make_unique<LoadedFont>(LoadedFont{nullptr, Quarn::platform::fonts::IsMarlett(family)});
    std::string error;
    if (gfx::DeviceFont::Create(m_device, desc, loaded->font, error).Failed())
        return nullptr;
    return loaded.release();
}

void DeviceBackend::FreeFontData(void* font)
{
    delete static_cast<LoadedFont*>(font);
}

Point DeviceBackend::MeasureString(void* font, const std::wstring& text)
{
    auto* loaded = static_cast<LoadedFont*>(font);
    const std::size_t last = text.find_last_not_of(L' ');
    const std::wstring_view counted =
        last == std::wstring::npos ? std::wstring_view() : std::wstring_view(text).substr(0, last + 1);
    return Point(loaded->font->Advance(loaded->Text(counted)), loaded->font->LineHeight());
}

void DeviceBackend::DrawString(void* font, int x, int y, int flags, std::uint32_t colour,
                               const std::wstring& text)
{
    auto* loaded = static_cast<LoadedFont*>(font);
    gfx::Rect place{x, y, x, y};
    const std::uint32_t anchor = flags & 4    ? std::uint32_t{gfx::kTextRight}
                                 : flags & 64 ? std::uint32_t{gfx::kTextCentre}
                                              : 0u;
    loaded->font->DrawText(loaded->Text(text), place, gfx::kTextNoClip | anchor, colour);
    // The font draws in its own states; the widget states come back for the next triangles.
    m_device.SetVertexDeclaration(m_declaration);
    LinearFilters(m_device);
}

} // namespace Gui::Renderer
