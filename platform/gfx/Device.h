#pragma once

#include "platform/gfx/DeviceState.h"

#include <array>
#include <memory>
#include <string>

namespace Quarn::platform
{
class Window;
}

namespace Quarn::platform::gfx
{

// The graphics device: everything that draws reaches the screen through it. Draws go to render target 0,
// which is the back buffer until another surface is set; Present shows the back buffer. A lost device
// fails Present with DeviceLost; TestCooperativeLevel tells when it can be Reset. Resources are shared:
// whatever is bound stays alive while bound.
class Device
{
public:
    virtual ~Device() = default;

    virtual Result CreateVertexBuffer(std::uint32_t size, std::uint32_t usage, Pool pool,
                                      std::shared_ptr<VertexBuffer>& buffer) = 0;
    virtual Result CreateIndexBuffer(std::uint32_t size, std::uint32_t usage, IndexFormat format, Pool pool,
                                     std::shared_ptr<IndexBuffer>& buffer) = 0;
    // levels 0 makes the whole chain. Render-target and depth-stencil textures have one level.
    virtual Result CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                                 std::uint32_t usage, Format format, Pool pool,
                                 std::shared_ptr<Texture>& texture) = 0;
    virtual Result CreateRenderTarget(std::uint32_t width, std::uint32_t height, Format format,
                                      std::shared_ptr<Surface>& surface) = 0;
    virtual Result CreateDepthStencilSurface(std::uint32_t width, std::uint32_t height, Format format,
                                             std::shared_ptr<Surface>& surface) = 0;
    // A surface the program reads and writes, for example to read a target back into.
    virtual Result CreateOffscreenPlainSurface(std::uint32_t width, std::uint32_t height, Format format,
                                               std::shared_ptr<Surface>& surface) = 0;
    virtual Result CreateVertexDeclaration(std::span<const VertexElement> elements,
                                           std::shared_ptr<VertexDeclaration>& declaration) = 0;
    // Compiles GLSL 4.50 source; on failure log holds the compiler's words.
    virtual Result CreateShader(ShaderStage stage, std::string_view source, std::shared_ptr<Shader>& shader,
                                std::string& log) = 0;
    // A block holding the device's current state.
    virtual Result CreateStateBlock(std::unique_ptr<StateBlock>& block);
    // The longest side, in pixels, of a texture the device makes.
    virtual std::uint32_t MaxTextureSize() const = 0;

    // Slot 0 takes null only to mean the back buffer; every target set must have render-target usage.
    virtual Result SetRenderTarget(std::uint32_t index, std::shared_ptr<Surface> surface) = 0;
    virtual std::shared_ptr<Surface> GetRenderTarget(std::uint32_t index) const = 0;
    virtual Result SetDepthStencilSurface(std::shared_ptr<Surface> surface) = 0;
    virtual std::shared_ptr<Surface> GetDepthStencilSurface() const = 0;
    virtual std::shared_ptr<Surface> GetBackBuffer() const = 0;

    virtual Result SetRenderState(RenderState state, std::uint32_t value) = 0;
    virtual Result SetSamplerState(std::uint32_t sampler, SamplerState state, std::uint32_t value) = 0;
    virtual Result SetTexture(std::uint32_t sampler, std::shared_ptr<Texture> texture) = 0;
    virtual Result SetStreamSource(std::uint32_t stream, std::shared_ptr<VertexBuffer> buffer,
                                   std::uint32_t offset, std::uint32_t stride) = 0;
    virtual Result SetStreamSourceFreq(std::uint32_t stream, std::uint32_t setting) = 0;
    virtual Result SetIndices(std::shared_ptr<IndexBuffer> indices) = 0;
    virtual Result SetVertexDeclaration(std::shared_ptr<VertexDeclaration> declaration) = 0;
    // Null leaves the stage to the device's own: pre-transformed vertices pass through, and pixels take
    // the vertex colour, modulated by sampler 0's texture when one is set.
    virtual Result SetVertexShader(std::shared_ptr<Shader> shader) = 0;
    virtual Result SetPixelShader(std::shared_ptr<Shader> shader) = 0;
    virtual Result SetScissorRect(const Rect& rect) = 0;
    virtual Result SetViewport(const Viewport& viewport) = 0;
    virtual Result ApplyStateBlock(const StateBlock& block) = 0;
    virtual const DeviceState& State() const = 0;

    std::uint32_t GetRenderState(RenderState state) const;
    std::uint32_t GetSamplerState(std::uint32_t sampler, SamplerState state) const;
    Viewport GetViewport() const { return State().viewport; }

    // A scene brackets the draws of a frame; draws outside one fail.
    virtual Result BeginScene() = 0;
    virtual Result EndScene() = 0;
    // Clears the whole viewport (rects empty) or the given rectangles within it, on the current targets.
    virtual Result Clear(std::span<const Rect> rects, std::uint32_t flags, std::uint32_t colour, float depth,
                         std::uint32_t stencil) = 0;
    virtual Result DrawPrimitive(PrimitiveType type, std::uint32_t startVertex, std::uint32_t primitives) = 0;
    virtual Result DrawIndexedPrimitive(PrimitiveType type, std::int32_t baseVertex, std::uint32_t minIndex,
                                        std::uint32_t vertexCount, std::uint32_t startIndex,
                                        std::uint32_t primitives) = 0;
    // Draws from the program's memory through stream 0; afterwards stream 0 (and for the indexed draw
    // the indices) hold nothing.
    virtual Result DrawPrimitiveUP(PrimitiveType type, std::uint32_t primitives, const void* vertices,
                                   std::uint32_t stride) = 0;
    virtual Result DrawIndexedPrimitiveUP(PrimitiveType type, std::uint32_t minIndex,
                                          std::uint32_t vertexCount, std::uint32_t primitives,
                                          const void* indices, IndexFormat format, const void* vertices,
                                          std::uint32_t stride) = 0;

    // Fills rect of the surface (null: all of it) with the colour; not for depth surfaces.
    virtual Result ColorFill(Surface& surface, const Rect* rect, std::uint32_t colour) = 0;
    // The pixels of a colour surface as packed colours, rows from the top.
    virtual Result ReadSurface(Surface& surface, std::vector<std::uint32_t>& pixels) = 0;

    virtual Result Present() = 0;
    virtual Result TestCooperativeLevel() = 0;
    // Makes the back buffer (and its depth-stencil surface) anew with the parameters; the targets become
    // them again and the viewport the whole back buffer. Default-pool resources should be released
    // first; others keep their contents.
    virtual Result Reset(const PresentParameters& parameters) = 0;
    virtual const PresentParameters& Parameters() const = 0;

protected:
    // Sets every part of the state through the setters: how a backend that tracks what it has set
    // applies a state block.
    Result SetEach(const DeviceState& state);
};

// The machine's graphics as seen before a device exists: what it can do, the display modes, and the
// device on a window.
class Adapter
{
public:
    virtual ~Adapter() = default;
    virtual const Capabilities& GetCapabilities() const = 0;
    // Four words that tell this graphics card and driver from others.
    virtual std::array<std::uint32_t, 4> Identifier() const = 0;
    virtual Result GetDisplayMode(DisplayMode& mode) const = 0;
    virtual std::uint32_t GetModeCount(Format format) const = 0;
    virtual Result EnumMode(Format format, std::uint32_t index, DisplayMode& mode) const = 0;
    virtual Result CreateDevice(Window* window, const PresentParameters& parameters,
                                std::unique_ptr<Device>& device) = 0;
};

} // namespace Quarn::platform::gfx
