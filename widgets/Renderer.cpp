#include "widgets/Renderer.h"

#include "widgets/Geometry.h"
#include "widgets/Utility.h"

#include <algorithm>
#include <cmath>

namespace Gui::Renderer
{

namespace
{

// Fonts are loaded from 1 to this many pixels high.
constexpr float kLargestFontPixels = 4096.0f;

// The pixel height a font of this real size loads at (a real size that is not a number loads at 1).
int FontPixels(float realSize)
{
    return realSize >= 1.0f ? static_cast<int>(std::min(realSize, kLargestFontPixels)) : 1;
}

// Device pixels as canvas pixels, truncated (the scale may be 0 or not a number), held within the range
// of control geometry so that sums of measures with positions and sizes stay ints.
int Unscaled(std::int64_t pixels, float scale)
{
    return Geometry::Position(Geometry::ToInt(static_cast<double>(pixels) / scale));
}

} // namespace

void Base::DrawMissingImage(Rect rect)
{
    SetDrawColor(Color(255, 0, 0, 255));
    DrawFilledRect(rect);
}

void Base::RenderText(Font* font, Point position, const std::string& text)
{
    RenderText(font, position, Utility::StringToUnicode(text));
}

Point Base::MeasureText(Font* font, const std::string& text)
{
    return MeasureText(font, Utility::StringToUnicode(text));
}

void Base::DrawLinedRect(Rect rect)
{
    DrawFilledRect(Rect(rect.x, rect.y, rect.w, 1));
    DrawFilledRect(Rect(rect.x, rect.y + rect.h - 1, rect.w, 1));
    DrawFilledRect(Rect(rect.x, rect.y, 1, rect.h));
    DrawFilledRect(Rect(rect.x + rect.w - 1, rect.y, 1, rect.h));
}

void Base::DrawPixel(int x, int y)
{
    DrawFilledRect(Rect(x, y, 1, 1));
}

void Base::DrawShavedCornerRect(Rect rect, bool slight)
{
    if (slight)
    {
        DrawFilledRect(Rect(rect.x + 1, rect.y, rect.w - 2, 1));
        DrawFilledRect(Rect(rect.x + 1, rect.y + rect.h - 1, rect.w - 2, 1));
        DrawFilledRect(Rect(rect.x, rect.y + 1, 1, rect.h - 2));
        DrawFilledRect(Rect(rect.x + rect.w - 1, rect.y + 1, 1, rect.h - 2));
        return;
    }
    DrawPixel(rect.x + 1, rect.y + 1);
    DrawPixel(rect.x + rect.w - 2, rect.y + 1);
    DrawPixel(rect.x + 1, rect.y + rect.h - 2);
    DrawPixel(rect.x + rect.w - 2, rect.y + rect.h - 2);
    DrawFilledRect(Rect(rect.x + 2, rect.y, rect.w - 4, 1));
    DrawFilledRect(Rect(rect.x + 2, rect.y + rect.h - 1, rect.w - 4, 1));
    DrawFilledRect(Rect(rect.x, rect.y + 2, 1, rect.h - 4));
    DrawFilledRect(Rect(rect.x + rect.w - 1, rect.y + 2, 1, rect.h - 4));
}

void Base::AddRenderOffset(const Rect& rect)
{
    m_offset.x = Geometry::Saturate(std::int64_t{m_offset.x} + rect.x);
    m_offset.y = Geometry::Saturate(std::int64_t{m_offset.y} + rect.y);
}

void Base::AddClipRegion(Rect rect)
{
    // In 64 bits: the offset may be anywhere in the int range.
    const Rect& c = m_clip;
    std::int64_t x = m_offset.x;
    std::int64_t y = m_offset.y;
    std::int64_t w = rect.w;
    std::int64_t h = rect.h;
    if (x < c.x)
    {
        w -= c.x - x;
        x = c.x;
    }
    if (y < c.y)
    {
        h -= c.y - y;
        y = c.y;
    }
    if (std::int64_t{c.x} + c.w < std::int64_t{m_offset.x} + rect.w)
        w = std::int64_t{c.x} + c.w - x;
    if (std::int64_t{c.y} + c.h < std::int64_t{m_offset.y} + rect.h)
        h = std::int64_t{c.y} + c.h - y;
    m_clip = Rect(Geometry::Saturate(x), Geometry::Saturate(y), Geometry::Saturate(w), Geometry::Saturate(h));
}

namespace
{

// A canvas coordinate scaled to device pixels, rounding up.
int Scaled(std::int64_t value, float scale)
{
    // At scale 1 a whole number a float holds exactly is itself (most of what a frame places).
    constexpr std::int64_t kExactInFloat = std::int64_t{1} << 24;
    if (scale == 1.0f && value >= -kExactInFloat && value <= kExactInFloat)
        return static_cast<int>(value);
    return Geometry::ToInt(std::ceil(static_cast<float>(value) * scale));
}

} // namespace

void Base::Translate(int& x, int& y) const
{
    x = Scaled(std::int64_t{x} + m_offset.x, m_scale);
    y = Scaled(std::int64_t{y} + m_offset.y, m_scale);
}

void Base::Translate(Rect& rect) const
{
    Translate(rect.x, rect.y);
    rect.w = Scaled(rect.w, m_scale);
    rect.h = Scaled(rect.h, m_scale);
}

Batched::~Batched()
{
    ReleaseAllFonts();
}

void Batched::Begin()
{
    m_backend.BeginFrame();
}

void Batched::End()
{
    Flush();
    m_backend.EndFrame();
}

void Batched::SetDrawColor(Color colour)
{
    m_colour = std::uint32_t{colour.a} << 24 | std::uint32_t{colour.r} << 16 | std::uint32_t{colour.g} << 8 |
               colour.b;
}

void Batched::DrawLine(int x0, int y0, int x1, int y1)
{
    Translate(x0, y0);
    Translate(x1, y1);
}

void Batched::AddVertex(const Vertex& vertex)
{
    if (m_queued >= kBatchVertices)
        Flush();
    m_vertices[m_queued++] = vertex;
}

void Batched::AddRect(const Rect& rect, float uLeft, float vTop, float uRight, float vBottom)
{
    const auto x = static_cast<float>(rect.x);
    const auto y = static_cast<float>(rect.y);
    const auto r = static_cast<float>(std::int64_t{rect.x} + rect.w);
    const auto b = static_cast<float>(std::int64_t{rect.y} + rect.h);
    const Vertex corners[] = {{x, y, m_colour, uLeft, vTop},     {r, y, m_colour, uRight, vTop},
                              {x, b, m_colour, uLeft, vBottom},  {r, y, m_colour, uRight, vTop},
                              {r, b, m_colour, uRight, vBottom}, {x, b, m_colour, uLeft, vBottom}};
    // Whole when it fits; else a vertex at a time, the queue handed over where it is full.
    if (m_queued + std::size(corners) <= kBatchVertices)
    {
        std::copy(std::begin(corners), std::end(corners),
                  m_vertices.begin() + static_cast<std::ptrdiff_t>(m_queued));
        m_queued += std::size(corners);
        return;
    }
    for (const Vertex& corner : corners)
        AddVertex(corner);
}

void Batched::Flush()
{
    if (m_queued == 0)
        return;
    m_backend.DrawTriangles(std::span<const Vertex>(m_vertices.data(), m_queued), m_texture);
    m_queued = 0;
}

void Batched::DrawFilledRect(Rect rect)
{
    if (m_texture)
    {
        Flush();
        m_texture = nullptr;
    }
    Translate(rect);
    AddRect(rect, 0, 0, 0, 0);
}

void Batched::DrawTexturedRect(Texture* texture, Rect rect, float uLeft, float vTop, float uRight,
                               float vBottom)
{
    if (!texture || !texture->data)
    {
        DrawMissingImage(rect);
        return;
    }
    Translate(rect);
    Flush();
    m_texture = texture->data;
    AddRect(rect, uLeft, vTop, uRight, vBottom);
}

void Batched::StartClip()
{
    Flush();
    const Rect& region = ClipRegion();
    const float scale = Scale();
    const int left = Scaled(region.x, scale);
    const int top = Scaled(region.y, scale);
    const int right = Scaled(std::int64_t{region.x} + region.w, scale);
    const int bottom = Scaled(std::int64_t{region.y} + region.h, scale);
    const Rect scissor(left, top, Geometry::Saturate(std::int64_t{right} - left),
                       Geometry::Saturate(std::int64_t{bottom} - top));
    m_backend.SetScissor(&scissor);
}

void Batched::EndClip()
{
    Flush();
    m_backend.SetScissor(nullptr);
}

void Batched::LoadTexture(Texture* texture)
{
    if (texture)
        texture->failed = !m_backend.LoadTextureData(*texture);
}

void Batched::FreeTexture(Texture* texture)
{
    if (!texture || !texture->data)
        return;
    // What is queued from it is handed over while it is there.
    if (texture->data == m_texture)
    {
        Flush();
        m_texture = nullptr;
    }
    m_backend.FreeTextureData(*texture);
    texture->data = nullptr;
}

void Batched::LoadFont(Font* font)
{
    // Loading a loaded font again replaces what it held.
    if (font->data)
        FreeFont(font);
    m_fonts.push_back(font);
    font->realSize = Scale() * font->size;
    void* loaded = m_backend.LoadFontData(font->facename, FontPixels(font->realSize));
    // The measurer leaves trailing spaces out; their width comes from "A A" less twice "A".
    const int spaceWidth =
        loaded ? m_backend.MeasureString(loaded, L"A A").x - 2 * m_backend.MeasureString(loaded, L"A").x : 0;
    font->data = new FontData{loaded, spaceWidth};
}

void Batched::FreeFont(Font* font)
{
    std::erase(m_fonts, font);
    if (!font->data)
        return;
    auto* data = static_cast<FontData*>(font->data);
    if (data->backendFont)
        m_backend.FreeFontData(data->backendFont);
    delete data;
    font->data = nullptr;
}

void Batched::ReleaseAllFonts()
{
    while (!m_fonts.empty())
        FreeFont(m_fonts.front());
}

void Batched::EnsureFont(Font* font)
{
    if (!font->data || std::fabs(font->realSize - Scale() * font->size) > 2.0f)
    {
        FreeFont(font);
        LoadFont(font);
    }
}

void Batched::RenderText(Font* font, Point position, const std::wstring& text)
{
    Flush();
    if (!font)
        return;
    EnsureFont(font);
    Translate(position.x, position.y);
    const int alignment = TextAlignment();
    const int flags = alignment & 2 ? 2 : alignment & 4 ? 4 : alignment & 64 ? 64 : 2;
    SetTextAlignment(0);
    const auto* data = static_cast<const FontData*>(font->data);
    if (data->backendFont)
        m_backend.DrawString(data->backendFont, position.x, position.y, flags, m_colour, text);
}

Point Batched::MeasureText(Font* font, const std::wstring& text)
{
    if (!font)
        return {};
    EnsureFont(font);
    const auto* data = static_cast<const FontData*>(font->data);
    if (!data->backendFont)
        return {};
    const float scale = Scale();
    // The empty text is a line's height; it is scaled back like any other measure.
    if (text.empty())
        return Point(0, Unscaled(m_backend.MeasureString(data->backendFont, L"W").y, scale));
    const Point size = m_backend.MeasureString(data->backendFont, text);
    const auto trailing = text.size() - std::min(text.size(), text.find_last_not_of(L' ') + 1);
    const std::int64_t width = size.x + static_cast<std::int64_t>(trailing) * data->spaceWidth;
    return Point(Unscaled(width, scale), Unscaled(size.y, scale));
}

} // namespace Gui::Renderer
