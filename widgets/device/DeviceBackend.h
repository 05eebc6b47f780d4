#pragma once

#include "platform/gfx/Device.h"
#include "widgets/Renderer.h"

#include <memory>
#include <vector>

namespace Gui::Renderer
{

// The widget renderer's back end on the engine's graphics device: triangles in screen pixels through the
// device's own pass-through stages, alpha blended; images decoded from their files; text through the
// device font layer. Shapes and text go into one batch, drawn when its texture must change (solid shapes
// share a font's glyph texture), when it is full and at the end of the frame; the clip is cut on the CPU,
// so a clip change draws nothing. What it changes of the device state it puts back at the end of the
// frame, so it draws inside the engine's frame.
class DeviceBackend final : public Backend
{
public:
    // The most vertices one draw takes (whole triangles); a text longer than that is drawn alone.
    static constexpr std::size_t kBatchVertices = 3 * 21845;

    explicit DeviceBackend(Quarn::platform::gfx::Device& device);
    ~DeviceBackend() override;

    void BeginFrame() override;
    void EndFrame() override;
    void DrawTriangles(std::span<const Vertex> vertices, void* texture) override;
    void SetScissor(const Rect* pixels) override;
    bool LoadTextureData(Texture& texture) override;
    void FreeTextureData(Texture& texture) override;
    void* LoadFontData(const std::wstring& face, int pixelHeight) override;
    void FreeFontData(void* font) override;
    Point MeasureString(void* font, const std::wstring& text) override;
    void DrawString(void* font, int x, int y, int flags, std::uint32_t colour,
                    const std::wstring& text) override;

    // The device draws made so far.
    std::size_t DrawCalls() const { return m_drawCalls; }

private:
    // What the batch samples: nothing (solid shapes only), a font's glyph texture (solid shapes join it,
    // sampling its white texel) or an image.
    enum class Sampling
    {
        Solid,
        Glyphs,
        Image,
    };

    // Draws the batch first when shapes sampling this image (null: solid shapes) cannot join it or would
    // overflow it.
    void Prepare(const std::shared_ptr<Quarn::platform::gfx::Texture>* image, std::size_t vertices);
    // Appends a vertex at this place with these texture coordinates.
    void Append(const Vertex& vertex, float x, float y, float u, float v);
    // Whether no vertex lies outside the clip.
    bool InsideClip(std::span<const Vertex> vertices) const;
    // Appends one triangle, cut to the clip.
    void AppendTriangle(std::span<const Vertex, 3> corners);
    // Draws the first count vertices of the batch and takes them out of it.
    void Draw(std::size_t count);
    void Flush();

    Quarn::platform::gfx::Device& m_device;
    // Kept between frames, so that drawing allocates nothing once it has grown.
    std::vector<Quarn::platform::gfx::ScreenVertex> m_batch;
    Sampling m_sampling = Sampling::Solid;
    // Held until the batch is drawn: a font may replace its texture, a control free its image, meanwhile.
    std::shared_ptr<Quarn::platform::gfx::Texture> m_texture;
    bool m_clipping = false;
    Quarn::platform::gfx::Rect m_clip;
    std::shared_ptr<Quarn::platform::gfx::VertexDeclaration> m_declaration;
    std::unique_ptr<Quarn::platform::gfx::StateBlock> m_saved;
    bool m_inFrame = false;
    std::size_t m_drawCalls = 0;
};

// The batching renderer on the device, with a back end of its own.
class Device final : public Batched
{
public:
    explicit Device(Quarn::platform::gfx::Device& device) : Batched(m_backend), m_backend(device) {}
    // Fonts go while the back end is still there.
    ~Device() override { ReleaseAllFonts(); }

    // The device draws made so far.
    std::size_t DrawCalls() const { return m_backend.DrawCalls(); }

private:
    DeviceBackend m_backend;
};

} // namespace Gui::Renderer
