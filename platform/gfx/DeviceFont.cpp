#include "platform/gfx/DeviceFont.h"

#include "platform/fonts/FontFile.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace Quarn::platform::gfx
{

namespace
{

constexpr char32_t kFirst = 0x20;
constexpr char32_t kLast = 0xFF;
constexpr std::uint32_t kAtlasWidth = 512;
// Space between glyphs, so that filtering never reaches a neighbour.
constexpr std::int32_t kGap = 1;

struct FreeType
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

} // namespace

DeviceFont::DeviceFont(Device& device, FontDesc desc) : m_device(device), m_desc(std::move(desc)) {}

DeviceFont::~DeviceFont() = default;

Result DeviceFont::Create(Device& device, const FontDesc& desc, std::unique_ptr<DeviceFont>& font,
                          std::string& error)
{
    const fonts::FontFile file = fonts::FindFontFile(desc.face, desc.weight, desc.italic);
    FreeType freeType;
    if (file.path.empty() || FT_Init_FreeType(&freeType.library) != 0 ||
        FT_New_Face(freeType.library, file.path.c_str(), file.index, &freeType.face) != 0 ||
        FT_Set_Pixel_Sizes(freeType.face, 0, std::max(1u, desc.height)) != 0)
    {
        error = "no font file for \"" + desc.face + "\"" +
                (file.path.empty() ? "" : " loads (" + file.path + ")");
        return Result::Code::NotAvailable;
    }
    std::unique_ptr<DeviceFont> made(new DeviceFont(device, desc));
    made->m_file = file.path;
    const FT_Size_Metrics& metrics = freeType.face->size->metrics;
    made->m_ascent = static_cast<std::int32_t>((metrics.ascender + 63) >> 6);
    made->m_descent = static_cast<std::int32_t>((-metrics.descender + 63) >> 6);

    // Each glyph rendered, then packed in rows into the atlas.
    std::u32string characters = desc.extraCharacters;
    for (char32_t character = kFirst; character <= kLast; ++character)
        characters.push_back(character);
    std::unordered_map<char32_t, std::vector<std::uint8_t>> coverage;
    std::int32_t penX = kGap;
    std::int32_t penY = kGap;
    std::int32_t rowHeight = 0;
    for (const char32_t character : characters)
    {
        if (FT_Load_Char(freeType.face, character, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot slot = freeType.face->glyph;
        Glyph& glyph = made->m_glyphs[character];
        glyph.width = static_cast<std::int32_t>(slot->bitmap.width);
        glyph.height = static_cast<std::int32_t>(slot->bitmap.rows);
        glyph.bearingX = slot->bitmap_left;
        glyph.bearingY = slot->bitmap_top;
        glyph.advance = static_cast<std::int32_t>((slot->advance.x + 32) >> 6);
        if (penX + glyph.width + kGap > static_cast<std::int32_t>(kAtlasWidth))
        {
            penX = kGap;
            penY += rowHeight + kGap;
            rowHeight = 0;
        }
        glyph.x = penX;
        glyph.y = penY;
        penX += glyph.width + kGap;
        rowHeight = std::max(rowHeight, glyph.height);
        std::vector<std::uint8_t>& pixels = coverage[character];
        for (std::int32_t row = 0; row < glyph.height; ++row)
        {
            const std::uint8_t* source = slot->bitmap.buffer + row * slot->bitmap.pitch;
            pixels.insert(pixels.end(), source, source + glyph.width);
        }
    }
    made->m_atlasWidth = kAtlasWidth;
    made->m_atlasHeight = static_cast<std::uint32_t>(penY + rowHeight + kGap);
    Result result = device.CreateTexture(made->m_atlasWidth, made->m_atlasHeight, 1, 0, Format::A8R8G8B8,
                                         Pool::Managed, made->m_atlas);
    LockedRect locked;
    if (result.Succeeded())
        result = made->m_atlas->LockRect(0, locked, nullptr, 0);
    if (result.Failed())
    {
        error = "the glyph texture cannot be made";
        return result;
    }
    // White everywhere; the coverage is the alpha.
    for (std::uint32_t row = 0; row < made->m_atlasHeight; ++row)
        std::memset(static_cast<std::uint8_t*>(locked.bits) +
                        std::size_t{row} * static_cast<std::size_t>(locked.pitch),
                    0, std::size_t{made->m_atlasWidth} * 4);
    for (const auto& [character, glyph] : made->m_glyphs)
    {
        for (std::int32_t row = 0; row < glyph.height; ++row)
        {
            auto* texel = static_cast<std::uint8_t*>(locked.bits) +
                          static_cast<std::size_t>(glyph.y + row) * static_cast<std::size_t>(locked.pitch) +
                          static_cast<std::size_t>(glyph.x) * 4;
            for (std::int32_t column = 0; column < glyph.width; ++column, texel += 4)
            {
                texel[0] = texel[1] = texel[2] = 255;
                texel[3] = coverage[character][static_cast<std::size_t>(row * glyph.width + column)];
            }
        }
    }
    made->m_atlas->UnlockRect(0);
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

const DeviceFont::Glyph& DeviceFont::GlyphOf(char32_t character) const
{
    static const Glyph none;
    auto found = m_glyphs.find(character);
    if (found == m_glyphs.end())
        found = m_glyphs.find(U'?');
    return found == m_glyphs.end() ? none : found->second;
}

int DeviceFont::Advance(std::string_view text) const
{
    int advance = 0;
    for (std::size_t at = 0; at < text.size();)
        advance += GlyphOf(NextCharacter(text, at)).advance;
    return advance;
}

int DeviceFont::DrawText(std::string_view text, Rect& rect, std::uint32_t format, std::uint32_t colour)
{
    const int width = Advance(text);
    const int left = format & kTextCentre  ? (rect.left + rect.right) / 2 - width / 2
                     : format & kTextRight ? rect.right - width
                                           : rect.left;
    const int top = format & kTextBottom ? rect.bottom - LineHeight() : rect.top;
    if (format & kTextCalcRect)
    {
        rect = {left, top, left + width, top + LineHeight()};
        return LineHeight();
    }
    std::vector<ScreenVertex>& vertices = m_vertices;
    vertices.clear();
    int pen = left;
    const int baseline = top + m_ascent;
    const float du = 1.0f / static_cast<float>(m_atlasWidth);
    const float dv = 1.0f / static_cast<float>(m_atlasHeight);
    for (std::size_t at = 0; at < text.size();)
    {
        const Glyph& glyph = GlyphOf(NextCharacter(text, at));
        if (glyph.width > 0 && glyph.height > 0)
        {
            // Pixel centres lie on whole numbers, so a texel lands on a pixel exactly.
            const float x0 = static_cast<float>(pen + glyph.bearingX) - 0.5f;
            const float y0 = static_cast<float>(baseline - glyph.bearingY) - 0.5f;
            const float x1 = x0 + static_cast<float>(glyph.width);
            const float y1 = y0 + static_cast<float>(glyph.height);
            const float u0 = static_cast<float>(glyph.x) * du;
            const float v0 = static_cast<float>(glyph.y) * dv;
            const float u1 = static_cast<float>(glyph.x + glyph.width) * du;
            const float v1 = static_cast<float>(glyph.y + glyph.height) * dv;
            const ScreenVertex a{x0, y0, 0.0f, 1.0f, colour, u0, v0};
            const ScreenVertex b{x1, y0, 0.0f, 1.0f, colour, u1, v0};
            const ScreenVertex c{x0, y1, 0.0f, 1.0f, colour, u0, v1};
            const ScreenVertex d{x1, y1, 0.0f, 1.0f, colour, u1, v1};
            vertices.insert(vertices.end(), {a, b, c, b, d, c});
        }
        pen += glyph.advance;
    }
    if (vertices.empty())
        return LineHeight();
    m_device.SetVertexShader(nullptr);
    m_device.SetPixelShader(nullptr);
    m_device.SetVertexDeclaration(m_declaration);
    m_device.SetTexture(0, m_atlas);
    m_device.SetSamplerState(0, SamplerState::MinFilter, kFilterPoint);
    m_device.SetSamplerState(0, SamplerState::MagFilter, kFilterPoint);
    m_device.SetSamplerState(0, SamplerState::MipFilter, kFilterNone);
    m_device.SetRenderState(RenderState::AlphaBlendEnable, 1);
    m_device.SetRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    m_device.SetRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
    m_device.SetRenderState(RenderState::ZEnable, 0);
    m_device.SetRenderState(RenderState::CullMode, kCullNone);
    m_device.DrawPrimitiveUP(PrimitiveType::TriangleList, static_cast<std::uint32_t>(vertices.size() / 3),
                             vertices.data(), sizeof(ScreenVertex));
    return LineHeight();
}

} // namespace Quarn::platform::gfx
