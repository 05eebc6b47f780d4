#include "platform/gfx/recording/RecordingDevice.h"

#include "platform/gfx/MemorySurface.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Quarn::platform::gfx
{

namespace
{
std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%08x", value);
    return text;
}

std::string Size(std::uint32_t width, std::uint32_t height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

const char* PoolName(Pool pool)
{
    switch (pool)
    {
    case Pool::Default:
        return "default";
    case Pool::Managed:
        return "managed";
    case Pool::SystemMemory:
        return "system";
    }
    return "";
}

const char* PrimitiveName(PrimitiveType type)
{
    constexpr const char* kNames[] = {"",          "points",        "lines",      "linestrip",
                                      "triangles", "trianglestrip", "trianglefan"};
    return kNames[static_cast<std::size_t>(type)];
}

// Every resource the recording device makes carries the number the log names it by.
struct Recorded
{
    std::size_t id = 0;
};

template <typename Base> class RecordedBuffer final : public Base, public Recorded
{
public:
    RecordedBuffer(const BufferDesc& desc, std::size_t id) : Base(desc), Recorded{id}, m_bytes(desc.size) {}

    Result Lock(std::uint32_t offset, std::uint32_t size, void*& data, std::uint32_t) override
    {
        if (m_locked || offset > m_bytes.size() || size > m_bytes.size() - offset)
            return Result::Code::InvalidCall;
        m_locked = true;
        data = m_bytes.data() + offset;
        return Result::Code::Ok;
    }

    Result Unlock() override
    {
        if (!m_locked)
            return Result::Code::InvalidCall;
        m_locked = false;
        return Result::Code::Ok;
    }

private:
    std::vector<std::uint8_t> m_bytes;
    bool m_locked = false;
};

class RecordedSurface final : public MemorySurface, public Recorded
{
public:
    RecordedSurface(const SurfaceDesc& desc, std::size_t id) : MemorySurface(desc), Recorded{id} {}
};

class RecordedTexture final : public Texture, public Recorded
{
public:
    RecordedTexture(const SurfaceDesc& top, std::uint32_t levels, std::size_t& nextId) : Recorded{nextId++}
    {
        SurfaceDesc level = top;
        for (std::uint32_t i = 0; i < levels; ++i)
        {
            m_levels.push_back(std::make_shared<RecordedSurface>(level, nextId++));
            level.width = std::max(1u, level.width / 2);
            level.height = std::max(1u, level.height / 2);
        }
    }
};

class RecordedDeclaration final : public VertexDeclaration, public Recorded
{
public:
    RecordedDeclaration(std::vector<VertexElement> elements, std::size_t id)
        : VertexDeclaration(std::move(elements)), Recorded{id}
    {
    }
};

// Accepts any source; its one uniform of each name takes values and keeps them.
class RecordedShader final : public Shader, public Recorded
{
public:
    RecordedShader(ShaderStage stage, std::size_t id) : Shader(stage), Recorded{id} {}
    int UniformLocation(std::string_view) const override { return -1; }
    Result SetFloats(int, std::span<const float>) override { return Result::Code::InvalidCall; }
    Result SetInts(int, std::span<const std::int32_t>) override { return Result::Code::InvalidCall; }
};

// Numbers run on across devices, so no two resources of one test share one.
std::size_t g_nextId = 1;
} // namespace

RecordingDevice::RecordingDevice(const PresentParameters& parameters) : m_parameters(parameters)
{
    MakeBackBuffer();
}

void RecordingDevice::MakeBackBuffer()
{
    m_backBuffer = std::make_shared<RecordedSurface>(SurfaceDesc{Format::A8R8G8B8, kUsageRenderTarget,
                                                                 Pool::Default, m_parameters.backBufferWidth,
                                                                 m_parameters.backBufferHeight},
                                                     g_nextId++);
    m_depthStencil = m_parameters.autoDepthStencil
                         ? std::make_shared<RecordedSurface>(
                               SurfaceDesc{m_parameters.depthStencilFormat, kUsageDepthStencil, Pool::Default,
                                           m_parameters.backBufferWidth, m_parameters.backBufferHeight},
                               g_nextId++)
                         : nullptr;
    m_targets = {};
    m_state.viewport = {0, 0, m_parameters.backBufferWidth, m_parameters.backBufferHeight, 0.0f, 1.0f};
    m_state.scissor = {0, 0, static_cast<std::int32_t>(m_parameters.backBufferWidth),
                       static_cast<std::int32_t>(m_parameters.backBufferHeight)};
}

template <typename Resource> std::string RecordingDevice::NameOf(const Resource* resource)
{
    const auto* recorded = dynamic_cast<const Recorded*>(resource);
    return recorded ? "#" + std::to_string(recorded->id) : "null";
}

void RecordingDevice::InjectResults(const std::string& call, std::initializer_list<Result::Code> results)
{
    std::deque<Result::Code>& queue = m_injected[call];
    queue.insert(queue.end(), results.begin(), results.end());
}

Result RecordingDevice::Record(const std::string& call, const std::string& arguments)
{
    m_log.push_back(arguments.empty() ? call : call + " " + arguments);
    const auto found = m_injected.find(call);
    if (found == m_injected.end() || found->second.empty())
        return Result::Code::Ok;
    const Result result = found->second.front();
    found->second.pop_front();
    return result;
}

Result RecordingDevice::RecordDraw(const std::string& call, const std::string& arguments)
{
    const Result result = Record(call, arguments);
    return result.Succeeded() && !m_inScene ? Result::Code::InvalidCall : result;
}

Result RecordingDevice::CreateVertexBuffer(std::uint32_t size, std::uint32_t usage, Pool pool,
                                           std::shared_ptr<VertexBuffer>& buffer)
{
    const Result result =
        Record("CreateVertexBuffer",
               std::to_string(size) + " usage=" + std::to_string(usage) + " " + PoolName(pool));
    if (result.Succeeded())
        buffer = std::make_shared<RecordedBuffer<VertexBuffer>>(BufferDesc{size, usage, pool}, g_nextId++);
    return result;
}

Result RecordingDevice::CreateIndexBuffer(std::uint32_t size, std::uint32_t usage, IndexFormat format,
                                          Pool pool, std::shared_ptr<IndexBuffer>& buffer)
{
    const Result result =
        Record("CreateIndexBuffer", std::to_string(size) + " usage=" + std::to_string(usage) +
                                        (format == IndexFormat::Index16 ? " 16 " : " 32 ") + PoolName(pool));
    if (result.Succeeded())
        buffer =
            std::make_shared<RecordedBuffer<IndexBuffer>>(BufferDesc{size, usage, pool, format}, g_nextId++);
    return result;
}

Result RecordingDevice::CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                                      std::uint32_t usage, Format format, Pool pool,
                                      std::shared_ptr<Texture>& texture)
{
    Result result = Record("CreateTexture", Size(width, height) + " levels=" + std::to_string(levels) +
                                                " usage=" + std::to_string(usage) + " " + FormatName(format) +
                                                " " + PoolName(pool));
    if (result.Succeeded() && (width == 0 || height == 0 || width > m_maxTextureSize ||
                               height > m_maxTextureSize || format == Format::Unknown))
        result = Result::Code::InvalidCall;
    if (result.Failed())
        return result;
    const bool target = usage & (kUsageRenderTarget | kUsageDepthStencil);
    const std::uint32_t count = target        ? 1
                                : levels == 0 ? FullLevelCount(width, height)
                                              : std::min(levels, FullLevelCount(width, height));
    texture =
        std::make_shared<RecordedTexture>(SurfaceDesc{format, usage, pool, width, height}, count, g_nextId);
    return result;
}

Result RecordingDevice::CreateRenderTarget(std::uint32_t width, std::uint32_t height, Format format,
                                           std::shared_ptr<Surface>& surface)
{
    const Result result = Record("CreateRenderTarget", Size(width, height) + " " + FormatName(format));
    if (result.Succeeded())
        surface = std::make_shared<RecordedSurface>(
            SurfaceDesc{format, kUsageRenderTarget, Pool::Default, width, height}, g_nextId++);
    return result;
}

Result RecordingDevice::CreateDepthStencilSurface(std::uint32_t width, std::uint32_t height, Format format,
                                                  std::shared_ptr<Surface>& surface)
{
    const Result result = Record("CreateDepthStencilSurface", Size(width, height) + " " + FormatName(format));
    if (result.Succeeded())
        surface = std::make_shared<RecordedSurface>(
            SurfaceDesc{format, kUsageDepthStencil, Pool::Default, width, height}, g_nextId++);
    return result;
}

Result RecordingDevice::CreateOffscreenPlainSurface(std::uint32_t width, std::uint32_t height, Format format,
                                                    std::shared_ptr<Surface>& surface)
{
    const Result result =
        Record("CreateOffscreenPlainSurface", Size(width, height) + " " + FormatName(format));
    if (result.Succeeded())
        surface = std::make_shared<RecordedSurface>(SurfaceDesc{format, 0, Pool::SystemMemory, width, height},
                                                    g_nextId++);
    return result;
}

Result RecordingDevice::CreateVertexDeclaration(std::span<const VertexElement> elements,
                                                std::shared_ptr<VertexDeclaration>& declaration)
{
    const Result result = Record("CreateVertexDeclaration", std::to_string(elements.size()) + " elements");
    if (result.Succeeded())
        declaration = std::make_shared<RecordedDeclaration>(
            std::vector<VertexElement>(elements.begin(), elements.end()), g_nextId++);
    return result;
}

Result RecordingDevice::CreateShader(ShaderStage stage, std::string_view, std::shared_ptr<Shader>& shader,
                                     std::string& log)
{
    const Result result = Record("CreateShader", stage == ShaderStage::Vertex ? "vertex" : "pixel");
    if (result.Succeeded())
        shader = std::make_shared<RecordedShader>(stage, g_nextId++);
    else
        log = "injected failure";
    return result;
}

Result RecordingDevice::CreateStateBlock(std::unique_ptr<StateBlock>& block)
{
    const Result result = Record("CreateStateBlock", "");
    return result.Succeeded() ? Device::CreateStateBlock(block) : result;
}

Result RecordingDevice::SetRenderTarget(std::uint32_t index, std::shared_ptr<Surface> surface)
{
    Result result = Record("SetRenderTarget", std::to_string(index) + " " + NameOf(surface.get()));
    if (result.Succeeded() &&
        (index >= kRenderTargetCount || (surface && !(surface->GetDesc().usage & kUsageRenderTarget))))
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
        m_targets[index] = std::move(surface);
    return result;
}

std::shared_ptr<Surface> RecordingDevice::GetRenderTarget(std::uint32_t index) const
{
    if (index >= kRenderTargetCount)
        return nullptr;
    return index == 0 && !m_targets[0] ? m_backBuffer : m_targets[index];
}

Result RecordingDevice::SetDepthStencilSurface(std::shared_ptr<Surface> surface)
{
    const Result result = Record("SetDepthStencilSurface", NameOf(surface.get()));
    if (result.Succeeded())
        m_depthStencil = std::move(surface);
    return result;
}

Result RecordingDevice::SetRenderState(RenderState state, std::uint32_t value)
{
    const Result result =
        Record("SetRenderState", std::string(RenderStateName(state)) + " " + std::to_string(value));
    if (result.Succeeded())
        m_state.renderStates[static_cast<std::size_t>(state)] = value;
    return result;
}

Result RecordingDevice::SetSamplerState(std::uint32_t sampler, SamplerState state, std::uint32_t value)
{
    Result result = Record("SetSamplerState", std::to_string(sampler) + " " + SamplerStateName(state) + " " +
                                                  std::to_string(value));
    if (result.Succeeded() && sampler >= kSamplerCount)
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
        m_state.samplerStates[sampler][static_cast<std::size_t>(state)] = value;
    return result;
}

Result RecordingDevice::SetTexture(std::uint32_t sampler, std::shared_ptr<Texture> texture)
{
    Result result = Record("SetTexture", std::to_string(sampler) + " " + NameOf(texture.get()));
    if (result.Succeeded() && sampler >= kSamplerCount)
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
        m_state.textures[sampler] = std::move(texture);
    return result;
}

Result RecordingDevice::SetStreamSource(std::uint32_t stream, std::shared_ptr<VertexBuffer> buffer,
                                        std::uint32_t offset, std::uint32_t stride)
{
    Result result = Record("SetStreamSource", std::to_string(stream) + " " + NameOf(buffer.get()) + " " +
                                                  std::to_string(offset) + " " + std::to_string(stride));
    if (result.Succeeded() && stream >= kStreamCount)
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
    {
        StreamSource& source = m_state.streams[stream];
        source.buffer = std::move(buffer);
        source.offset = offset;
        source.stride = stride;
    }
    return result;
}

Result RecordingDevice::SetStreamSourceFreq(std::uint32_t stream, std::uint32_t setting)
{
    Result result = Record("SetStreamSourceFreq", std::to_string(stream) + " " + Hex(setting));
    if (result.Succeeded() && stream >= kStreamCount)
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
        m_state.streams[stream].frequency = setting;
    return result;
}

Result RecordingDevice::SetIndices(std::shared_ptr<IndexBuffer> indices)
{
    const Result result = Record("SetIndices", NameOf(indices.get()));
    if (result.Succeeded())
        m_state.indices = std::move(indices);
    return result;
}

Result RecordingDevice::SetVertexDeclaration(std::shared_ptr<VertexDeclaration> declaration)
{
    const Result result = Record("SetVertexDeclaration", NameOf(declaration.get()));
    if (result.Succeeded())
        m_state.declaration = std::move(declaration);
    return result;
}

Result RecordingDevice::SetVertexShader(std::shared_ptr<Shader> shader)
{
    const Result result = Record("SetVertexShader", NameOf(shader.get()));
    if (result.Succeeded())
        m_state.vertexShader = std::move(shader);
    return result;
}

Result RecordingDevice::SetPixelShader(std::shared_ptr<Shader> shader)
{
    const Result result = Record("SetPixelShader", NameOf(shader.get()));
    if (result.Succeeded())
        m_state.pixelShader = std::move(shader);
    return result;
}

Result RecordingDevice::SetScissorRect(const Rect& rect)
{
    const Result result =
        Record("SetScissorRect", std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
                                     std::to_string(rect.right) + "," + std::to_string(rect.bottom));
    if (result.Succeeded())
        m_state.scissor = rect;
    return result;
}

Result RecordingDevice::SetViewport(const Viewport& viewport)
{
    Result result = Record("SetViewport", std::to_string(viewport.x) + "," + std::to_string(viewport.y) +
                                              " " + Size(viewport.width, viewport.height));
    const SurfaceDesc& target = GetRenderTarget(0)->GetDesc();
    if (result.Succeeded() && (viewport.x + viewport.width > target.width ||
                               viewport.y + viewport.height > target.height || viewport.minZ > viewport.maxZ))
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
        m_state.viewport = viewport;
    return result;
}

Result RecordingDevice::ApplyStateBlock(const StateBlock& block)
{
    const Result result = Record("ApplyStateBlock", "");
    if (result.Succeeded())
        m_state = block.State();
    return result;
}

Result RecordingDevice::BeginScene()
{
    Result result = Record("BeginScene", "");
    if (result.Succeeded() && m_inScene)
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
        m_inScene = true;
    return result;
}

Result RecordingDevice::EndScene()
{
    Result result = Record("EndScene", "");
    if (result.Succeeded() && !m_inScene)
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
        m_inScene = false;
    return result;
}

Result RecordingDevice::Clear(std::span<const Rect> rects, std::uint32_t flags, std::uint32_t colour,
                              float depth, std::uint32_t stencil)
{
    std::string arguments = "flags=" + std::to_string(flags) + " colour=" + Hex(colour) +
                            " depth=" + std::to_string(depth) + " stencil=" + std::to_string(stencil);
    for (const Rect& rect : rects)
        arguments += " (" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
                     std::to_string(rect.right) + "," + std::to_string(rect.bottom) + ")";
    Result result = Record("Clear", arguments);
    if (result.Succeeded() && (flags == 0 || (flags & ~(kClearTarget | kClearDepth | kClearStencil))))
        result = Result::Code::InvalidCall;
    if (result.Failed() || !(flags & kClearTarget))
        return result;
    auto& target = static_cast<RecordedSurface&>(*GetRenderTarget(0));
    for (const Rect& rect : ClearedRects(rects, m_state.viewport))
        target.Fill(&rect, colour);
    return result;
}

Result RecordingDevice::DrawPrimitive(PrimitiveType type, std::uint32_t startVertex, std::uint32_t primitives)
{
    return RecordDraw("DrawPrimitive", std::string(PrimitiveName(type)) + " " + std::to_string(startVertex) +
                                           " " + std::to_string(primitives));
}

Result RecordingDevice::DrawIndexedPrimitive(PrimitiveType type, std::int32_t baseVertex,
                                             std::uint32_t minIndex, std::uint32_t vertexCount,
                                             std::uint32_t startIndex, std::uint32_t primitives)
{
    return RecordDraw("DrawIndexedPrimitive",
                      std::string(PrimitiveName(type)) + " " + std::to_string(baseVertex) + " " +
                          std::to_string(minIndex) + " " + std::to_string(vertexCount) + " " +
                          std::to_string(startIndex) + " " + std::to_string(primitives));
}

Result RecordingDevice::DrawPrimitiveUP(PrimitiveType type, std::uint32_t primitives, const void*,
                                        std::uint32_t stride)
{
    const Result result =
        RecordDraw("DrawPrimitiveUP", std::string(PrimitiveName(type)) + " " + std::to_string(primitives) +
                                          " " + std::to_string(stride));
    m_state.streams[0].buffer = nullptr;
    return result;
}

Result RecordingDevice::DrawIndexedPrimitiveUP(PrimitiveType type, std::uint32_t minIndex,
                                               std::uint32_t vertexCount, std::uint32_t primitives,
                                               const void*, IndexFormat, const void*, std::uint32_t stride)
{
    const Result result = RecordDraw("DrawIndexedPrimitiveUP",
                                     std::string(PrimitiveName(type)) + " " + std::to_string(minIndex) + " " +
                                         std::to_string(vertexCount) + " " + std::to_string(primitives) +
                                         " " + std::to_string(stride));
    m_state.streams[0].buffer = nullptr;
    m_state.indices = nullptr;
    return result;
}

Result RecordingDevice::ColorFill(Surface& surface, const Rect* rect, std::uint32_t colour)
{
    std::string arguments = NameOf(&surface) + " " + Hex(colour);
    if (rect)
        arguments += " (" + std::to_string(rect->left) + "," + std::to_string(rect->top) + "," +
                     std::to_string(rect->right) + "," + std::to_string(rect->bottom) + ")";
    Result result = Record("ColorFill", arguments);
    const SurfaceDesc& desc = surface.GetDesc();
    if (result.Succeeded() && (RowPitch(desc.format, 1) != 4 || IsDepthFormat(desc.format)))
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
        static_cast<RecordedSurface&>(surface).Fill(rect, colour);
    return result;
}

Result RecordingDevice::ReadSurface(Surface& surface, std::vector<std::uint32_t>& pixels)
{
    Result result = Record("ReadSurface", NameOf(&surface));
    const SurfaceDesc& desc = surface.GetDesc();
    if (result.Succeeded() && (RowPitch(desc.format, 1) != 4 || IsDepthFormat(desc.format)))
        result = Result::Code::InvalidCall;
    if (result.Succeeded())
        static_cast<RecordedSurface&>(surface).ReadColours(pixels);
    return result;
}

Result RecordingDevice::Present()
{
    return Record("Present", "");
}

Result RecordingDevice::TestCooperativeLevel()
{
    return Record("TestCooperativeLevel", "");
}

Result RecordingDevice::Reset(const PresentParameters& parameters)
{
    Result result = Record("Reset", Size(parameters.backBufferWidth, parameters.backBufferHeight) +
                                        (parameters.windowed ? " windowed" : " full screen") +
                                        (parameters.vsync ? " vsync" : ""));
    if (result.Succeeded() && (parameters.backBufferWidth == 0 || parameters.backBufferHeight == 0))
        result = Result::Code::InvalidCall;
    if (result.Failed())
        return result;
    m_parameters = parameters;
    MakeBackBuffer();
    return result;
}

} // namespace Quarn::platform::gfx
