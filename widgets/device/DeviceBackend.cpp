#include "widgets/device/DeviceBackend.h"

#include "platform/fonts/FontFile.h"
#include "platform/gfx/DeviceFont.h"
#include "platform/gfx/ImageFile.h"
#include "widgets/Geometry.h"
#include "widgets/Utility.h"

#include <algorithm>

namespace Gui::Renderer
{

namespace gfx = Quarn::platform::gfx;

namespace
{

struct LoadedTexture
{
    std::shared_ptr<gfx::Texture> texture;
};

// Images are filtered; glyphs are drawn texel for pixel, as the font draws them.
void SetFilters(gfx::Device& device, bool linear)
{
    device.SetSamplerState(0, gfx::SamplerState::MagFilter, linear ? gfx::kFilterLinear : gfx::kFilterPoint);
    device.SetSamplerState(0, gfx::SamplerState::MinFilter, linear ? gfx::kFilterLinear : gfx::kFilterPoint);
    device.SetSamplerState(0, gfx::SamplerState::MipFilter, linear ? gfx::kFilterLinear : gfx::kFilterNone);
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
    // The clip is cut on the CPU: no scissor of the engine's cuts the widgets.
    m_device.SetRenderState(gfx::RenderState::ScissorTestEnable, 0);
    m_device.SetSamplerState(0, gfx::SamplerState::AddressU, gfx::kAddressClamp);
    m_device.SetSamplerState(0, gfx::SamplerState::AddressV, gfx::kAddressClamp);
}

void DeviceBackend::EndFrame()
{
    Flush();
    if (!m_inFrame)
        return;
    m_inFrame = false;
    if (!m_saved)
        return;
    m_device.ApplyStateBlock(*m_saved);
    m_saved->Clear();
}

void DeviceBackend::Prepare(const std::shared_ptr<gfx::Texture>* image, std::size_t vertices)
{
    const bool joins =
        image ? m_sampling == Sampling::Image && m_texture == *image : m_sampling != Sampling::Image;
    if (!joins || m_batch.size() + vertices > kBatchVertices)
        Flush();
    if (image && m_texture != *image)
    {
        m_sampling = Sampling::Image;
        m_texture = *image;
    }
}

void DeviceBackend::Draw(std::size_t count)
{
    if (count == 0)
        return;
    m_device.SetVertexDeclaration(m_declaration);
    m_device.SetTexture(0, m_sampling == Sampling::Solid ? nullptr : m_texture);
    if (m_sampling != Sampling::Solid)
        SetFilters(m_device, m_sampling == Sampling::Image);
    m_device.DrawPrimitiveUP(gfx::PrimitiveType::TriangleList, static_cast<std::uint32_t>(count / 3),
                             m_batch.data(), sizeof(gfx::ScreenVertex));
    ++m_drawCalls;
    m_batch.erase(m_batch.begin(), m_batch.begin() + static_cast<std::ptrdiff_t>(count));
}

void DeviceBackend::Flush()
{
    Draw(m_batch.size());
    m_sampling = Sampling::Solid;
    m_texture.reset();
}

void DeviceBackend::DrawTriangles(std::span<const Vertex> vertices, void* texture)
{
    const auto* image = static_cast<LoadedTexture*>(texture);
    Prepare(image ? &image->texture : nullptr, vertices.size());
    // Most runs (a control's shapes) lie inside the clip whole.
    if (InsideClip(vertices))
    {
        for (const Vertex& vertex : vertices)
            Append(vertex, vertex.x, vertex.y, vertex.u, vertex.v);
    }
    else
    {
        for (std::size_t i = 0; i + 3 <= vertices.size(); i += 3)
            AppendTriangle(std::span<const Vertex, 3>(vertices.data() + i, 3));
    }
    // Outside a frame nothing would draw the batch: what is asked is drawn at once.
    if (!m_inFrame)
        Flush();
}

void DeviceBackend::Append(const Vertex& vertex, float x, float y, float u, float v)
{
    // Pixel centres lie half a pixel inside their corners: a rectangle from x to x + w covers w pixels.
    m_batch.push_back({x - 0.5f, y - 0.5f, 0.5f, 1.0f, vertex.colour, u, v});
}

bool DeviceBackend::InsideClip(std::span<const Vertex> vertices) const
{
    if (!m_clipping)
        return true;
    const auto left = static_cast<float>(m_clip.left);
    const auto top = static_cast<float>(m_clip.top);
    const auto right = static_cast<float>(m_clip.right);
    const auto bottom = static_cast<float>(m_clip.bottom);
    bool inside = true;
    for (const Vertex& vertex : vertices)
        inside &= vertex.x >= left && vertex.x <= right && vertex.y >= top && vertex.y <= bottom;
    return inside;
}

void DeviceBackend::AppendTriangle(std::span<const Vertex, 3> corners)
{
    if (InsideClip(corners))
    {
        for (const Vertex& corner : corners)
            Append(corner, corner.x, corner.y, corner.u, corner.v);
        return;
    }
    const auto [left, right] = std::minmax({corners[0].x, corners[1].x, corners[2].x});
    const auto [top, bottom] = std::minmax({corners[0].y, corners[1].y, corners[2].y});
    const auto clipLeft = static_cast<float>(m_clip.left);
    const auto clipTop = static_cast<float>(m_clip.top);
    const auto clipRight = static_cast<float>(m_clip.right);
    const auto clipBottom = static_cast<float>(m_clip.bottom);
    if (std::max(left, clipLeft) >= std::min(right, clipRight) ||
        std::max(top, clipTop) >= std::min(bottom, clipBottom))
        return;
    // Every triangle is half of an axis-aligned rectangle, the other half drawn with the same clip: the
    // corners pulled inside the clip make the same half of the rectangle's part inside it, so the two
    // halves cover exactly the pixels the scissor would have left. The texture coordinates follow the
    // corners, by their change across and down the triangle.
    const float ax = corners[1].x - corners[0].x;
    const float ay = corners[1].y - corners[0].y;
    const float bx = corners[2].x - corners[0].x;
    const float by = corners[2].y - corners[0].y;
    const float area = ax * by - ay * bx;
    if (area == 0.0f)
        return;
    const float au = corners[1].u - corners[0].u;
    const float bu = corners[2].u - corners[0].u;
    const float av = corners[1].v - corners[0].v;
    const float bv = corners[2].v - corners[0].v;
    const float uAcross = (au * by - bu * ay) / area;
    const float uDown = (bu * ax - au * bx) / area;
    const float vAcross = (av * by - bv * ay) / area;
    const float vDown = (bv * ax - av * bx) / area;
    for (const Vertex& corner : corners)
    {
        const float x = std::clamp(corner.x, clipLeft, clipRight);
        const float y = std::clamp(corner.y, clipTop, clipBottom);
        const float dx = x - corner.x;
        const float dy = y - corner.y;
        Append(corner, x, y, corner.u + uAcross * dx + uDown * dy, corner.v + vAcross * dx + vDown * dy);
    }
}

void DeviceBackend::SetScissor(const Rect* pixels)
{
    m_clipping = pixels != nullptr;
    if (!pixels)
        return;
    m_clip = {pixels->x, pixels->y, Geometry::Saturate(std::int64_t{pixels->x} + pixels->w),
              Geometry::Saturate(std::int64_t{pixels->y} + pixels->h)};
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
    const std::string& line = loaded->Text(text);
    // Each glyph comes from at least one byte of the line and takes six vertices.
    if (m_batch.size() + 6 * line.size() > kBatchVertices)
        Flush();
    const std::size_t before = m_batch.size();
    const gfx::Rect place{x, y, x, y};
    const std::uint32_t anchor = flags & 4    ? std::uint32_t{gfx::kTextRight}
                                 : flags & 64 ? std::uint32_t{gfx::kTextCentre}
                                              : 0u;
    const std::shared_ptr<gfx::Texture>& glyphs =
        loaded->font->AppendText(line, place, anchor, colour, m_clipping ? &m_clip : nullptr, m_batch);
    if (m_batch.size() > before && m_texture != glyphs)
    {
        // What the batch held before samples another texture (the font may have just replaced its own):
        // it is drawn first.
        if (m_sampling != Sampling::Solid)
            Draw(before);
        m_sampling = Sampling::Glyphs;
        m_texture = glyphs;
    }
    if (!m_inFrame)
        Flush();
}

} // namespace Gui::Renderer
