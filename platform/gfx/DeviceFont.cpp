#include "platform/gfx/DeviceFont.h"

#include "platform/fonts/FontFile.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <limits>

namespace Quarn::platform::gfx
{

namespace
{

// The glyph texture starts this size and doubles a side at a time up to the largest; a glyph with no
// room left in the largest is not drawn (its advance still counts).
constexpr std::uint32_t kFirstTextureSide = 256;
constexpr std::uint32_t kLargestTextureSide = 4096;
// Space between glyphs, so that filtering never reaches a neighbour.
constexpr std::int32_t kGap = 1;

int ClampToInt(std::int64_t value)
{
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The coverage of one pixel of a rendered glyph, 0 to 255.
std::uint8_t Coverage(const FT_Bitmap& bitmap, std::int32_t row, std::int32_t column)
{
    const unsigned char* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        return (line[column / 8] >> (7 - column % 8)) & 1 ? 255 : 0;
    return line[column];
}

} // namespace

std::uint32_t FontHeightOf(float pixels)
{
    if (!(pixels >= 1.0f))
        return 1;
    if (pixels >= static_cast<float>(kMaxFontHeight))
        return kMaxFontHeight;
    return static_cast<std::uint32_t>(pixels);
}

struct DeviceFont::FreeType
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeType()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

DeviceFont::DeviceFont(Device& device, FontDesc desc) : m_device(device), m_desc(std::move(desc)) {}

DeviceFont::~DeviceFont() = default;

Result DeviceFont::Create(Device& device, const FontDesc& desc, std::unique_ptr<DeviceFont>& font,
                          std::string& error)
{
    std::unique_ptr<DeviceFont> made(new DeviceFont(device, desc));
    made->m_desc.height = std::clamp(desc.height, 1u, kMaxFontHeight);
    const fonts::FontFile file = fonts::FindFontFile(desc.face, desc.weight, desc.italic);
    made->m_freeType = std::make_unique<FreeType>();
    FreeType& freeType = *made->m_freeType;
    if (file.path.empty() || FT_Init_FreeType(&freeType.library) != 0 ||
        FT_New_Face(freeType.library, file.path.c_str(), file.index, &freeType.face) != 0 ||
        FT_Set_Pixel_Sizes(freeType.face, 0, made->m_desc.height) != 0)
    {
        error = "no font file for \"" + desc.face + "\"" +
                (file.path.empty() ? "" : " loads (" + file.path + ")");
        return Result::Code::NotAvailable;
    }
    made->m_file = file.path;
    const FT_Size_Metrics& metrics = freeType.face->size->metrics;
    made->m_ascent = static_cast<std::int32_t>((metrics.ascender + 63) >> 6);
    made->m_descent = static_cast<std::int32_t>((-metrics.descender + 63) >> 6);
    made->m_penX = kGap;
    made->m_penY = kGap;
    Result result = made->ResizeTexture(kFirstTextureSide, kFirstTextureSide);
    if (result.Failed())
    {
        error = "the glyph texture cannot be made";
        return result;
    }
    const VertexElement elements[] = {{0, 0, DeclType::Float4, DeclUsage::PositionT, 0},
                                      {0, 16, DeclType::Colour, DeclUsage::Colour, 0},
                                      {0, 20, DeclType::Float2, DeclUsage::TexCoord, 0}};
    result = device.CreateVertexDeclaration(elements, made->m_declaration);
    if (result.Failed())
    {
        error = "the text vertex layout cannot be made";
        return result;
    }
    font = std::move(made);
    return Result::Code::Ok;
}

Result DeviceFont::ResizeTexture(std::uint32_t width, std::uint32_t height)
{
    std::shared_ptr<Texture> texture;
    Result result = m_device.CreateTexture(width, height, 1, 0, Format::A8R8G8B8, Pool::Managed, texture);
    LockedRect locked;
    if (result.Succeeded())
        result = texture->LockRect(0, locked, nullptr, 0);
    if (result.Failed())
        return result;
    LockedRect old;
    const bool copy = m_texture && m_texture->LockRect(0, old, nullptr, kLockReadOnly).Succeeded();
    for (std::uint32_t row = 0; row < height; ++row)
    {
        auto* line = static_cast<std::uint8_t*>(locked.bits) +
                     std::size_t{row} * static_cast<std::size_t>(locked.pitch);
        std::size_t kept = 0;
        if (copy && row < m_textureHeight)
        {
            kept = std::size_t{std::min(width, m_textureWidth)} * 4;
            std::memcpy(line,
                        static_cast<const std::uint8_t*>(old.bits) +
                            std::size_t{row} * static_cast<std::size_t>(old.pitch),
                        kept);
        }
        std::memset(line + kept, 0, std::size_t{width} * 4 - kept);
    }
    // Texel 0,0, in the gap before the first row and column of glyphs, is the opaque white solid shapes
    // sample.
    std::memset(locked.bits, 0xFF, 4);
    if (copy)
        m_texture->UnlockRect(0);
    texture->UnlockRect(0);
    m_texture = std::move(texture);
    m_textureWidth = width;
    m_textureHeight = height;
    return Result::Code::Ok;
}

bool DeviceFont::Reserve(std::int32_t width, std::int32_t height, std::int32_t& x, std::int32_t& y)
{
    constexpr auto kLargest = static_cast<std::int32_t>(kLargestTextureSide);
    if (kGap + width + kGap > kLargest || kGap + height + kGap > kLargest)
        return false;
    for (;;)
    {
        const auto textureWidth = static_cast<std::int32_t>(m_textureWidth);
        const auto textureHeight = static_cast<std::int32_t>(m_textureHeight);
        if (m_penX + width + kGap <= textureWidth &&
            m_penY + std::max(m_rowHeight, height) + kGap <= textureHeight)
        {
            x = m_penX;
            y = m_penY;
            m_penX += width + kGap;
            m_rowHeight = std::max(m_rowHeight, height);
            return true;
        }
        // A new row below the current one, when the glyph fits there.
        const bool fitsAcross = kGap + width + kGap <= textureWidth;
        const std::int32_t nextRow = m_penY + m_rowHeight + kGap;
        if (m_penX > kGap && fitsAcross && nextRow + height + kGap <= textureHeight)
        {
            m_penX = kGap;
            m_penY = nextRow;
            m_rowHeight = 0;
            continue;
        }
        // Else a side twice as long: the width for a glyph wider than the texture, else the shorter side
        // (or the one that can still grow).
        const bool widthCanGrow = m_textureWidth < kLargestTextureSide;
        const bool heightCanGrow = m_textureHeight < kLargestTextureSide;
        const bool wider =
            !fitsAcross || !heightCanGrow || (widthCanGrow && m_textureWidth <= m_textureHeight);
        if (wider ? !widthCanGrow : !heightCanGrow)
            return false;
        if (ResizeTexture(wider ? m_textureWidth * 2 : m_textureWidth,
                          wider ? m_textureHeight : m_textureHeight * 2)
                .Failed())
            return false;
    }
}

const DeviceFont::Glyph& DeviceFont::GlyphOf(char32_t character)
{
    static const Glyph none;
    if (const auto found = m_glyphs.find(character); found != m_glyphs.end())
        return found->second;
    const FT_Face face = m_freeType->face;
    const FT_UInt index = FT_Get_Char_Index(face, character);
    // Characters the face lacks are not kept: each asks the face again, and shows as '?'.
    if (index == 0)
        return character == U'?' ? none : GlyphOf(U'?');
    Glyph glyph;
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0)
        return m_glyphs.emplace(character, glyph).first->second;
    const FT_GlyphSlot slot = face->glyph;
    glyph.bearingX = slot->bitmap_left;
    glyph.bearingY = slot->bitmap_top;
    glyph.advance = static_cast<std::int32_t>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bitmap = slot->bitmap;
    const auto width = static_cast<std::int32_t>(bitmap.width);
    const auto height = static_cast<std::int32_t>(bitmap.rows);
    const bool readable = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY || bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    LockedRect locked;
    if (readable && width > 0 && height > 0 && Reserve(width, height, glyph.x, glyph.y))
    {
        const Rect area{glyph.x, glyph.y, glyph.x + width, glyph.y + height};
        if (m_texture->LockRect(0, locked, &area, 0).Succeeded())
        {
            // White everywhere; the coverage is the alpha.
            for (std::int32_t row = 0; row < height; ++row)
            {
                auto* texel = static_cast<std::uint8_t*>(locked.bits) +
                              static_cast<std::size_t>(row) * static_cast<std::size_t>(locked.pitch);
                for (std::int32_t column = 0; column < width; ++column, texel += 4)
                {
                    texel[0] = texel[1] = texel[2] = 255;
                    texel[3] = Coverage(bitmap, row, column);
                }
            }
            m_texture->UnlockRect(0);
            glyph.width = width;
            glyph.height = height;
        }
    }
    return m_glyphs.emplace(character, glyph).first->second;
}

char32_t DeviceFont::NextCharacter(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80)
        return lead;
    const std::size_t length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
    char32_t character = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
    {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            return U'?';
        character = character << 6 | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    return length == 1 ? U'?' : character;
}

std::int64_t DeviceFont::LineAdvance(std::string_view text)
{
    std::int64_t advance = 0;
    for (std::size_t at = 0; at < text.size();)
        advance += GlyphOf(NextCharacter(text, at)).advance;
    return advance;
}

int DeviceFont::Advance(std::string_view text)
{
    return ClampToInt(LineAdvance(text));
}

void DeviceFont::Place(const Rect& rect, std::uint32_t format, std::int64_t width, std::int64_t& left,
                       std::int64_t& top) const
{
    left = format & kTextCentre  ? (std::int64_t{rect.left} + rect.right) / 2 - width / 2
           : format & kTextRight ? std::int64_t{rect.right} - width
                                 : std::int64_t{rect.left};
    top = format & kTextBottom ? std::int64_t{rect.bottom} - LineHeight() : rect.top;
}

int DeviceFont::DrawText(std::string_view text, Rect& rect, std::uint32_t format, std::uint32_t colour)
{
    if (format & kTextCalcRect)
    {
        const std::int64_t width = LineAdvance(text);
        std::int64_t left = 0;
        std::int64_t top = 0;
        Place(rect, format, width, left, top);
        rect = {ClampToInt(left), ClampToInt(top), ClampToInt(left + width), ClampToInt(top + LineHeight())};
        return LineHeight();
    }
    m_vertices.clear();
    AppendText(text, rect, format, colour, nullptr, m_vertices);
    if (m_vertices.empty())
        return LineHeight();
    m_device.SetVertexShader(nullptr);
    m_device.SetPixelShader(nullptr);
    m_device.SetVertexDeclaration(m_declaration);
    m_device.SetTexture(0, m_texture);
    m_device.SetSamplerState(0, SamplerState::MinFilter, kFilterPoint);
    m_device.SetSamplerState(0, SamplerState::MagFilter, kFilterPoint);
    m_device.SetSamplerState(0, SamplerState::MipFilter, kFilterNone);
    m_device.SetRenderState(RenderState::AlphaBlendEnable, 1);
    m_device.SetRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    m_device.SetRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
    m_device.SetRenderState(RenderState::ZEnable, 0);
    m_device.SetRenderState(RenderState::CullMode, kCullNone);
    m_device.DrawPrimitiveUP(PrimitiveType::TriangleList, static_cast<std::uint32_t>(m_vertices.size() / 3),
                             m_vertices.data(), sizeof(ScreenVertex));
    return LineHeight();
}

const std::shared_ptr<Texture>& DeviceFont::AppendText(std::string_view text, const Rect& rect,
                                                       std::uint32_t format, std::uint32_t colour,
                                                       const Rect* clip, std::vector<ScreenVertex>& vertices)
{
    // Every glyph of the line is in the texture before any is placed, so that the texture's size (and
    // so each glyph's texture coordinates) is final.
    const std::int64_t width = LineAdvance(text);
    std::int64_t pen = 0;
    std::int64_t top = 0;
    Place(rect, format, width, pen, top);
    const std::int64_t baseline = top + m_ascent;
    const float du = 1.0f / static_cast<float>(m_textureWidth);
    const float dv = 1.0f / static_cast<float>(m_textureHeight);
    for (std::size_t at = 0; at < text.size();)
    {
        const Glyph& glyph = GlyphOf(NextCharacter(text, at));
        const std::int64_t left = pen + glyph.bearingX;
        const std::int64_t glyphTop = baseline - glyph.bearingY;
        pen += glyph.advance;
        // The glyph's pixels, or those of them inside the clip.
        std::int64_t x0 = left;
        std::int64_t y0 = glyphTop;
        std::int64_t x1 = left + glyph.width;
        std::int64_t y1 = glyphTop + glyph.height;
        if (clip)
        {
            x0 = std::max<std::int64_t>(x0, clip->left);
            y0 = std::max<std::int64_t>(y0, clip->top);
            x1 = std::min<std::int64_t>(x1, clip->right);
            y1 = std::min<std::int64_t>(y1, clip->bottom);
        }
        if (x0 >= x1 || y0 >= y1)
            continue;
        // Pixel centres lie on whole numbers, so a texel lands on a pixel exactly.
        const float px0 = static_cast<float>(x0) - 0.5f;
        const float py0 = static_cast<float>(y0) - 0.5f;
        const float px1 = static_cast<float>(x1) - 0.5f;
        const float py1 = static_cast<float>(y1) - 0.5f;
        const float u0 = static_cast<float>(glyph.x + (x0 - left)) * du;
        const float v0 = static_cast<float>(glyph.y + (y0 - glyphTop)) * dv;
        const float u1 = static_cast<float>(glyph.x + (x1 - left)) * du;
        const float v1 = static_cast<float>(glyph.y + (y1 - glyphTop)) * dv;
        const ScreenVertex a{px0, py0, 0.0f, 1.0f, colour, u0, v0};
        const ScreenVertex b{px1, py0, 0.0f, 1.0f, colour, u1, v0};
        const ScreenVertex c{px0, py1, 0.0f, 1.0f, colour, u0, v1};
        const ScreenVertex d{px1, py1, 0.0f, 1.0f, colour, u1, v1};
        vertices.insert(vertices.end(), {a, b, c, b, d, c});
    }
    return m_texture;
}

} // namespace Quarn::platform::gfx
