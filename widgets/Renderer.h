#pragma once

#include "widgets/Structures.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace Gui::Renderer
{

// The drawing interface the skin and the controls draw through: solid and textured rectangles, text,
// textures and fonts, and the render offset, clip region and scale the control tree manages as it walks.
// Coordinates are canvas pixels before the offset and the scale.
class Base
{
public:
    virtual ~Base() = default;

    virtual void Begin() = 0;
    virtual void End() = 0;
    virtual void SetDrawColor(Color colour) = 0;
    virtual void DrawLine(int x0, int y0, int x1, int y1) = 0;
    virtual void DrawFilledRect(Rect rect) = 0;
    virtual void StartClip() = 0;
    virtual void EndClip() = 0;
    virtual void LoadTexture(Texture* texture) = 0;
    virtual void FreeTexture(Texture* texture) = 0;
    virtual void DrawTexturedRect(Texture* texture, Rect rect, float uLeft, float vTop, float uRight,
                                  float vBottom) = 0;
    // A red rectangle where an image could not be loaded.
    virtual void DrawMissingImage(Rect rect);
    virtual void LoadFont(Font* font) = 0;
    virtual void FreeFont(Font* font) = 0;
    void RenderText(Font* font, Point position, const std::string& text);
    virtual void RenderText(Font* font, Point position, const std::wstring& text) = 0;
    Point MeasureText(Font* font, const std::string& text);
    virtual Point MeasureText(Font* font, const std::wstring& text) = 0;
    // Four one-pixel sides.
    virtual void DrawLinedRect(Rect rect);
    virtual void DrawPixel(int x, int y);
    // A one-pixel outline with its corners cut (one pixel in when slight, else two).
    virtual void DrawShavedCornerRect(Rect rect, bool slight = false);

    void SetRenderOffset(Point offset) { m_offset = offset; }
    // Stops at the ends of the int range, however deep the controls it walks.
    void AddRenderOffset(const Rect& rect);
    Point GetRenderOffset() const { return m_offset; }
    void SetClipRegion(Rect rect) { m_clip = rect; }
    // Narrows the clip region to rect placed at the render offset (its own x and y are ignored).
    void AddClipRegion(Rect rect);
    const Rect& ClipRegion() const { return m_clip; }
    bool ClipRegionVisible() const { return m_clip.w > 0 && m_clip.h > 0; }
    void SetScale(float scale) { m_scale = scale; }
    float Scale() const { return m_scale; }
    // Offset, then scale, rounding up (a result past the int range stops at its end).
    void Translate(int& x, int& y) const;
    void Translate(Rect& rect) const;

    // The next RenderText places its text by these alignment flags (2 left, 4 right, 64 centred) instead of
    // from its point to the right; a label sets them for its own text and clears them once drawn.
    void SetTextAlignment(int flags) { m_textAlignment = flags; }
    int TextAlignment() const { return m_textAlignment; }

private:
    Point m_offset;
    Rect m_clip;
    float m_scale = 1.0f;
    int m_textAlignment = 0;
};

// One screen-space vertex: upper-left pixel coordinates, a packed colour (a in the top byte, then r, g,
// b) and texture coordinates.
struct Vertex
{
    float x = 0.0f;
    float y = 0.0f;
    std::uint32_t colour = 0;
    float u = 0.0f;
    float v = 0.0f;
};

// What a device renderer supplies: triangles, the clip, images and fonts, asked in the order they are to
// be seen; a back end may draw them in fewer draws as long as what overlaps keeps that order. Fonts are
// loaded at a pixel height from 1 to 4096; measuring gives a line's box without the trailing spaces, as the
// device's text measurer does.
class Backend
{
public:
    virtual ~Backend() = default;
    virtual void BeginFrame() = 0;
    virtual void EndFrame() = 0;
    // texture is the Texture's data (null: untextured). Each triangle is half of an axis-aligned rectangle
    // whose other half is drawn with the same clip: corners top left, top right, bottom left, then top
    // right, bottom right, bottom left.
    virtual void DrawTriangles(std::span<const Vertex> vertices, void* texture) = 0;
    // What is drawn from now on is cut to these pixels (null: nothing is cut).
    virtual void SetScissor(const Rect* pixels) = 0;
    // Fills the texture's data, width and height; false (and nothing changed) when the image cannot load.
    virtual bool LoadTextureData(Texture& texture) = 0;
    virtual void FreeTextureData(Texture& texture) = 0;
    virtual void* LoadFontData(const std::wstring& face, int pixelHeight) = 0;
    virtual void FreeFontData(void* font) = 0;
    virtual Point MeasureString(void* font, const std::wstring& text) = 0;
    // flags: 2 left, 4 right, 64 centred on x.
    virtual void DrawString(void* font, int x, int y, int flags, std::uint32_t colour,
                            const std::wstring& text) = 0;
};

// The rules every device renderer shares, over a back end: translated and scaled rectangles, untextured
// ones queued together in runs of up to 1023 vertices, each textured rectangle, text and clip change
// handing the queue to the back end first, and fonts loaded at the scaled size and reloaded when the scale
// moves them more than two pixels.
class Batched : public Base
{
public:
    static constexpr std::size_t kBatchVertices = 1023;

    // The back end outlives the renderer.
    explicit Batched(Backend& backend) : m_backend(backend) {}
    // Frees the fonts it still holds.
    ~Batched() override;

    void Begin() override;
    void End() override;
    void SetDrawColor(Color colour) override;
    void DrawLine(int x0, int y0, int x1, int y1) override;
    void DrawFilledRect(Rect rect) override;
    void StartClip() override;
    void EndClip() override;
    void LoadTexture(Texture* texture) override;
    void FreeTexture(Texture* texture) override;
    void DrawTexturedRect(Texture* texture, Rect rect, float uLeft, float vTop, float uRight,
                          float vBottom) override;
    void LoadFont(Font* font) override;
    void FreeFont(Font* font) override;
    using Base::MeasureText;
    using Base::RenderText;
    void RenderText(Font* font, Point position, const std::wstring& text) override;
    Point MeasureText(Font* font, const std::wstring& text) override;
    // Frees every font it loaded (before its device goes).
    void ReleaseAllFonts();

    void Flush();
    std::size_t QueuedVertices() const { return m_queued; }

private:
    struct FontData
    {
        void* backendFont;
        int spaceWidth;
    };

    void AddVertex(const Vertex& vertex);
    // The translated rectangle as two triangles in the current colour.
    void AddRect(const Rect& rect, float uLeft, float vTop, float uRight, float vBottom);
    // Frees and loads the font again when it is not loaded or the scale moved it more than two pixels.
    void EnsureFont(Font* font);

    Backend& m_backend;
    std::uint32_t m_colour = 0xFFFFFFFF;
    void* m_texture = nullptr;
    std::array<Vertex, kBatchVertices + 1> m_vertices{};
    std::size_t m_queued = 0;
    std::vector<Font*> m_fonts;
};

} // namespace Gui::Renderer
