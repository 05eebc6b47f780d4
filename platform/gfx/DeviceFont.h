#pragma once

#include "platform/gfx/Device.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Quarn::platform::gfx
{

// How DrawText places a line: horizontally on the rectangle's left edge (the default), centred on it,
// or against its right edge; on its top or (kTextBottom) its bottom edge. kTextCalcRect measures
// instead of drawing: the rectangle becomes the one the text would cover.
enum TextFormat : std::uint32_t
{
    kTextCentre = 0x1,
    kTextRight = 0x2,
    kTextBottom = 0x8,
    kTextNoClip = 0x100,
    kTextCalcRect = 0x400,
};

// Fonts are made from 1 to this many pixels high.
constexpr std::uint32_t kMaxFontHeight = 4096;
// A height in pixels, as any number gives it, brought into the heights fonts are made at (truncated; a
// height that is not a number is 1).
std::uint32_t FontHeightOf(float pixels);

struct FontDesc
{
    std::string face;          // a family name; empty for the default sans-serif face
    std::uint32_t height = 16; // pixels from the top of the line to its bottom (made at 1 to kMaxFontHeight)
    std::uint32_t weight = 0;  // 0 normal, else 100 to 900
    bool italic = false;
};

// A font on a device: each character's glyph rendered by FreeType the first time a text holds it, into a
// texture the font's glyphs share (made larger, keeping what it holds, when a glyph no longer fits), and
// lines of text drawn from it as textured quads in screen pixels, in the device's own pass-through
// stages. The texture's texel at 0,0 is opaque white: solid shapes drawn with texture coordinates 0,0 take
// their vertex colour, so they can share a draw with the glyphs. UTF-8 text; a character the face lacks,
// or a byte that is not UTF-8, shows as '?'.
class DeviceFont
{
public:
    // Finds the face through fontconfig; NotAvailable (and error says why) when no font file loads.
    static Result Create(Device& device, const FontDesc& desc, std::unique_ptr<DeviceFont>& font,
                         std::string& error);
    ~DeviceFont();
    DeviceFont(const DeviceFont&) = delete;
    DeviceFont& operator=(const DeviceFont&) = delete;

    // Draws one line (no wrapping, no clipping) and returns its height; with kTextCalcRect draws nothing
    // and sets rect to the line's box (its edges held to the range of an int).
    int DrawText(std::string_view text, Rect& rect, std::uint32_t format, std::uint32_t colour);
    // The glyphs DrawText would draw for the line (kTextCalcRect is not read), appended to vertices as two
    // triangles each, without the draw, so that a caller can draw them with other shapes; with a clip,
    // only their pixels inside it. Returns the texture they sample (drawn with point filtering).
    const std::shared_ptr<Texture>& AppendText(std::string_view text, const Rect& rect, std::uint32_t format,
                                               std::uint32_t colour, const Rect* clip,
                                               std::vector<ScreenVertex>& vertices);
    // Pixels from the pen's start to its end over the line (at most the largest int).
    int Advance(std::string_view text);
    int LineHeight() const { return m_ascent + m_descent; }
    const FontDesc& Desc() const { return m_desc; }
    const std::string& File() const { return m_file; }
    // The glyph texture's size in pixels.
    std::uint32_t GlyphTextureWidth() const { return m_textureWidth; }
    std::uint32_t GlyphTextureHeight() const { return m_textureHeight; }

private:
    struct FreeType;
    struct Glyph
    {
        std::int32_t x = 0, y = 0;               // place in the texture
        std::int32_t width = 0, height = 0;      // pixels; none when the glyph has no room
        std::int32_t bearingX = 0, bearingY = 0; // from the pen and the baseline
        std::int32_t advance = 0;
    };

    DeviceFont(Device& device, FontDesc desc);
    static char32_t NextCharacter(std::string_view text, std::size_t& at);
    // The character's glyph, rendered and placed when first asked for.
    const Glyph& GlyphOf(char32_t character);
    // The line's advance, with every glyph of it rendered.
    std::int64_t LineAdvance(std::string_view text);
    // Where a line of this width starts in rect by the format: its left edge and its top.
    void Place(const Rect& rect, std::uint32_t format, std::int64_t width, std::int64_t& left,
               std::int64_t& top) const;
    // A place for a width x height image, the texture made larger when the rows are full; false when
    // it can grow no more.
    bool Reserve(std::int32_t width, std::int32_t height, std::int32_t& x, std::int32_t& y);
    // The texture at the new size, holding the glyphs of the old one at their places, and the white texel.
    Result ResizeTexture(std::uint32_t width, std::uint32_t height);

    Device& m_device;
    FontDesc m_desc;
    std::string m_file;
    std::unique_ptr<FreeType> m_freeType;
    std::unordered_map<char32_t, Glyph> m_glyphs;
    std::int32_t m_ascent = 0;
    std::int32_t m_descent = 0;
    std::shared_ptr<Texture> m_texture;
    std::uint32_t m_textureWidth = 0;
    std::uint32_t m_textureHeight = 0;
    // Glyphs are placed in rows, left to right: where the next goes, and the height of the row so far.
    std::int32_t m_penX = 0;
    std::int32_t m_penY = 0;
    std::int32_t m_rowHeight = 0;
    std::shared_ptr<VertexDeclaration> m_declaration;
    // Kept between texts, so that drawing allocates nothing once it has grown.
    std::vector<ScreenVertex> m_vertices;
};

} // namespace Quarn::platform::gfx
