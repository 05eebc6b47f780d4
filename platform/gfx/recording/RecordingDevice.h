#pragma once

#include "platform/gfx/Device.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace Quarn::platform::gfx
{

// A device for tests: it writes every call with its arguments to a log, answers with the results a test
// injected for that call (in order, then Ok), and keeps its surfaces in memory: Clear and ColorFill fill
// them and they read back, locks give their bytes. It draws nothing.
class RecordingDevice final : public Device
{
public:
    explicit RecordingDevice(const PresentParameters& parameters);

    // The next calls of that name ("Present", "Reset" ...) answer these results, one each.
    void InjectResults(const std::string& call, std::initializer_list<Result::Code> results);
    const std::vector<std::string>& Log() const { return m_log; }
    void ClearLog() { m_log.clear(); }

    Result CreateVertexBuffer(std::uint32_t size, std::uint32_t usage, Pool pool,
                              std::shared_ptr<VertexBuffer>& buffer) override;
    Result CreateIndexBuffer(std::uint32_t size, std::uint32_t usage, IndexFormat format, Pool pool,
                             std::shared_ptr<IndexBuffer>& buffer) override;
    Result CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels, std::uint32_t usage,
                         Format format, Pool pool, std::shared_ptr<Texture>& texture) override;
    Result CreateRenderTarget(std::uint32_t width, std::uint32_t height, Format format,
                              std::shared_ptr<Surface>& surface) override;
    Result CreateDepthStencilSurface(std::uint32_t width, std::uint32_t height, Format format,
                                     std::shared_ptr<Surface>& surface) override;
    Result CreateOffscreenPlainSurface(std::uint32_t width, std::uint32_t height, Format format,
                                       std::shared_ptr<Surface>& surface) override;
    Result CreateVertexDeclaration(std::span<const VertexElement> elements,
                                   std::shared_ptr<VertexDeclaration>& declaration) override;
    Result CreateShader(ShaderStage stage, std::string_view source, std::shared_ptr<Shader>& shader,
                        std::string& log) override;
    Result CreateStateBlock(std::unique_ptr<StateBlock>& block) override;
    // Textures with a longer side are refused, as a real device refuses them.
    std::uint32_t MaxTextureSize() const override { return m_maxTextureSize; }
    void SetMaxTextureSize(std::uint32_t size) { m_maxTextureSize = size; }

    Result SetRenderTarget(std::uint32_t index, std::shared_ptr<Surface> surface) override;
    std::shared_ptr<Surface> GetRenderTarget(std::uint32_t index) const override;
    Result SetDepthStencilSurface(std::shared_ptr<Surface> surface) override;
    std::shared_ptr<Surface> GetDepthStencilSurface() const override { return m_depthStencil; }
    std::shared_ptr<Surface> GetBackBuffer() const override { return m_backBuffer; }

    Result SetRenderState(RenderState state, std::uint32_t value) override;
    Result SetSamplerState(std::uint32_t sampler, SamplerState state, std::uint32_t value) override;
    Result SetTexture(std::uint32_t sampler, std::shared_ptr<Texture> texture) override;
    Result SetStreamSource(std::uint32_t stream, std::shared_ptr<VertexBuffer> buffer, std::uint32_t offset,
                           std::uint32_t stride) override;
    Result SetStreamSourceFreq(std::uint32_t stream, std::uint32_t setting) override;
    Result SetIndices(std::shared_ptr<IndexBuffer> indices) override;
    Result SetVertexDeclaration(std::shared_ptr<VertexDeclaration> declaration) override;
    Result SetVertexShader(std::shared_ptr<Shader> shader) override;
    Result SetPixelShader(std::shared_ptr<Shader> shader) override;
    Result SetScissorRect(const Rect& rect) override;
    Result SetViewport(const Viewport& viewport) override;
    Result ApplyStateBlock(const StateBlock& block) override;
    const DeviceState& State() const override { return m_state; }

    Result BeginScene() override;
    Result EndScene() override;
    Result Clear(std::span<const Rect> rects, std::uint32_t flags, std::uint32_t colour, float depth,
                 std::uint32_t stencil) override;
    Result DrawPrimitive(PrimitiveType type, std::uint32_t startVertex, std::uint32_t primitives) override;
    Result DrawIndexedPrimitive(PrimitiveType type, std::int32_t baseVertex, std::uint32_t minIndex,
                                std::uint32_t vertexCount, std::uint32_t startIndex,
                                std::uint32_t primitives) override;
    Result DrawPrimitiveUP(PrimitiveType type, std::uint32_t primitives, const void* vertices,
                           std::uint32_t stride) override;
    Result DrawIndexedPrimitiveUP(PrimitiveType type, std::uint32_t minIndex, std::uint32_t vertexCount,
                                  std::uint32_t primitives, const void* indices, IndexFormat format,
                                  const void* vertices, std::uint32_t stride) override;
    Result ColorFill(Surface& surface, const Rect* rect, std::uint32_t colour) override;
    Result ReadSurface(Surface& surface, std::vector<std::uint32_t>& pixels) override;

    Result Present() override;
    Result TestCooperativeLevel() override;
    Result Reset(const PresentParameters& parameters) override;
    const PresentParameters& Parameters() const override { return m_parameters; }

private:
    // Logs the call and takes its next injected result.
    Result Record(const std::string& call, const std::string& arguments);
    // The draws' shared rule: inside a scene only.
    Result RecordDraw(const std::string& call, const std::string& arguments);
    void MakeBackBuffer();
    // "#n" for the n-th resource made by a recording device, "null" for none.
    template <typename Resource> static std::string NameOf(const Resource* resource);

    PresentParameters m_parameters;
    DeviceState m_state;
    std::shared_ptr<Surface> m_backBuffer;
    std::shared_ptr<Surface> m_depthStencil;
    std::array<std::shared_ptr<Surface>, kRenderTargetCount> m_targets;
    std::uint32_t m_maxTextureSize = 16384;
    bool m_inScene = false;
    std::vector<std::string> m_log;
    std::map<std::string, std::deque<Result::Code>> m_injected;
};

} // namespace Quarn::platform::gfx
