#pragma once

#include "platform/gfx/Device.h"
#include "widgets/Renderer.h"

#include <memory>
#include <vector>

namespace Gui::Renderer
{

// The widget renderer's back end on the engine's graphics device: triangles in screen pixels through the
// device's own pass-through stages, alpha blended; clipping by the scissor; images decoded from their
// files; text through the device font layer. What it changes of the device state it puts back at the end
// of the frame, so it draws inside the engine's frame.
class DeviceBackend final : public Backend
{
public:
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

private:
    Quarn::platform::gfx::Device& m_device;
    // Kept between batches, so that drawing allocates nothing once it has grown.
    std::vector<Quarn::platform::gfx::ScreenVertex> m_converted;
    std::shared_ptr<Quarn::platform::gfx::VertexDeclaration> m_declaration;
    std::unique_ptr<Quarn::platform::gfx::StateBlock> m_saved;
    bool m_inFrame = false;
};

// The batching renderer on the device, with a back end of its own.
class Device final : public Batched
{
public:
    explicit Device(Quarn::platform::gfx::Device& device) : Batched(m_backend), m_backend(device) {}
    // Fonts go while the back end is still there.
    ~Device() override { ReleaseAllFonts(); }

private:
    DeviceBackend m_backend;
};

} // namespace Gui::Renderer
