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

struct FontDesc
{
    std::string face;          // a family name; empty for the default sans-serif face
    std::uint32_t height = 16; // pixels from the top of the line to its bottom
    std::uint32_t weight = 0;  // 0 normal, else 100 to 900
    bool italic = false;
    // Characters past U+00FF to render too.
    std::u32string extraCharacters;
};

// A font on a device: the glyphs of U+0020 to U+00FF (and of the extra characters asked for) rendered
// once by FreeType into a texture, and lines of text drawn from it as textured quads in screen pixels, in
// the device's own pass-through stages. UTF-8 text; characters without a glyph show as '?'.
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
    // and sets rect to the line's box.
    int DrawText(std::string_view text, Rect& rect, std::uint32_t format, std::uint32_t colour);
    // Pixels from the pen's start to its end over the line.
    int Advance(std::string_view text) const;
    int LineHeight() const { return m_ascent + m_descent; }
    const FontDesc& Desc() const { return m_desc; }
    const std::string& File() const { return m_file; }

private:
    struct Glyph
    {
        std::int32_t x = 0, y = 0;               // place in the atlas
        std::int32_t width = 0, height = 0;      // pixels
        std::int32_t bearingX = 0, bearingY = 0; // from the pen and the baseline
        std::int32_t advance = 0;
    };

    DeviceFont(Device& device, FontDesc desc);
    static char32_t NextCharacter(std::string_view text, std::size_t& at);
    const Glyph& GlyphOf(char32_t character) const;

    Device& m_device;
    FontDesc m_desc;
    std::string m_file;
    std::unordered_map<char32_t, Glyph> m_glyphs;
    std::int32_t m_ascent = 0;
    std::int32_t m_descent = 0;
    std::uint32_t m_atlasWidth = 0;
    std::uint32_t m_atlasHeight = 0;
    std::shared_ptr<Texture> m_atlas;
    std::shared_ptr<VertexDeclaration> m_declaration;
    // Kept between texts, so that drawing allocates nothing once it has grown.
    std::vector<ScreenVertex> m_vertices;
};

} // namespace Quarn::platform::gfx
