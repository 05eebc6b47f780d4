#include "platform/gfx/gl/GlDevice.h"

#include "platform/gfx/gl/GlResources.h"
#include "platform/gfx/gl/GlShaders.h"
#include "platform/window/SdlWindow.h"

#include "platform/gfx/gl/GlVideo.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <bitset>
#include <cstring>

namespace Quarn::platform::gfx
{

namespace
{

float Channel(std::uint32_t colour, int shift)
{
    return static_cast<float>((colour >> shift) & 0xFF) / 255.0f;
}

GLenum CompareOf(std::uint32_t compare)
{
    constexpr GLenum kCompares[] = {GL_ALWAYS,  GL_NEVER,    GL_LESS,   GL_EQUAL, GL_LEQUAL,
                                    GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return compare < std::size(kCompares) ? kCompares[compare] : GL_ALWAYS;
}

GLenum BlendOf(std::uint32_t blend)
{
    constexpr GLenum kBlends[] = {GL_ONE,
                                  GL_ZERO,
                                  GL_ONE,
                                  GL_SRC_COLOR,
                                  GL_ONE_MINUS_SRC_COLOR,
                                  GL_SRC_ALPHA,
                                  GL_ONE_MINUS_SRC_ALPHA,
                                  GL_DST_ALPHA,
                                  GL_ONE_MINUS_DST_ALPHA,
                                  GL_DST_COLOR,
                                  GL_ONE_MINUS_DST_COLOR,
                                  GL_SRC_ALPHA_SATURATE};
    return blend < std::size(kBlends) ? kBlends[blend] : GL_ONE;
}

GLenum BlendOpOf(std::uint32_t op)
{
    constexpr GLenum kOps[] = {GL_FUNC_ADD, GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT,
                               GL_MIN,      GL_MAX};
    return op < std::size(kOps) ? kOps[op] : GL_FUNC_ADD;
}

GLenum StencilOpOf(std::uint32_t op)
{
    constexpr GLenum kOps[] = {GL_KEEP, GL_KEEP,   GL_ZERO,      GL_REPLACE,  GL_INCR,
                               GL_DECR, GL_INVERT, GL_INCR_WRAP, GL_DECR_WRAP};
    return op < std::size(kOps) ? kOps[op] : GL_KEEP;
}

GLenum AddressOf(std::uint32_t address)
{
    constexpr GLenum kAddresses[] = {GL_REPEAT,        GL_REPEAT,          GL_MIRRORED_REPEAT,
                                     GL_CLAMP_TO_EDGE, GL_CLAMP_TO_BORDER, GL_MIRROR_CLAMP_TO_EDGE};
    return address < std::size(kAddresses) ? kAddresses[address] : GL_REPEAT;
}

GLenum ModeOf(PrimitiveType type)
{
    constexpr GLenum kModes[] = {GL_POINTS,    GL_POINTS,         GL_LINES,       GL_LINE_STRIP,
                                 GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN};
    return kModes[static_cast<std::size_t>(type)];
}

// Render states that GL sets together.
enum class StateGroup : std::uint8_t
{
    Depth,
    Fill,
    Cull,
    Blend,
    AlphaTest,
    Scissor,
    Stencil,
    ColourWrite,
    DepthBias,
    PointSize,
    None,
};

StateGroup GroupOf(RenderState state)
{
    switch (state)
    {
    case RenderState::ZEnable:
    case RenderState::ZWriteEnable:
    case RenderState::ZFunc:
        return StateGroup::Depth;
    case RenderState::FillMode:
        return StateGroup::Fill;
    case RenderState::CullMode:
        return StateGroup::Cull;
    case RenderState::AlphaBlendEnable:
    case RenderState::SrcBlend:
    case RenderState::DestBlend:
    case RenderState::BlendOp:
    case RenderState::SeparateAlphaBlendEnable:
    case RenderState::SrcBlendAlpha:
    case RenderState::DestBlendAlpha:
    case RenderState::BlendOpAlpha:
        return StateGroup::Blend;
    case RenderState::AlphaTestEnable:
    case RenderState::AlphaRef:
    case RenderState::AlphaFunc:
        return StateGroup::AlphaTest;
    case RenderState::ScissorTestEnable:
        return StateGroup::Scissor;
    case RenderState::StencilEnable:
    case RenderState::StencilFunc:
    case RenderState::StencilRef:
    case RenderState::StencilMask:
    case RenderState::StencilWriteMask:
    case RenderState::StencilFail:
    case RenderState::StencilZFail:
    case RenderState::StencilPass:
        return StateGroup::Stencil;
    case RenderState::ColourWriteEnable:
        return StateGroup::ColourWrite;
    case RenderState::DepthBias:
    case RenderState::SlopeScaleDepthBias:
        return StateGroup::DepthBias;
    case RenderState::PointSize:
        return StateGroup::PointSize;
    default:
        return StateGroup::None;
    }
}

void Enable(GLenum capability, bool on)
{
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

Result Checked()
{
    switch (glGetError())
    {
    case GL_NO_ERROR:
        return Result::Code::Ok;
    case GL_OUT_OF_MEMORY:
        return Result::Code::OutOfVideoMemory;
    case GL_CONTEXT_LOST:
        return Result::Code::DeviceLost;
    default:
        return Result::Code::InvalidCall;
    }
}

bool IsColourFormat32(Format format)
{
    return format == Format::A8R8G8B8 || format == Format::X8R8G8B8;
}

// The SDL window and GL context a device draws with.
// The GL context a device draws with. It lives on a hidden window of its own, so it stays current
// whatever becomes of the window it shows pictures on: the program's window when that is an SDL window
// made for OpenGL and still open.
class GlContext
{
public:
    ~GlContext()
    {
        if (m_context)
            SDL_GL_DeleteContext(m_context);
        if (m_ownWindow)
            SDL_DestroyWindow(m_ownWindow);
    }

    bool Start(Window* window, std::string& error)
    {
        if (!StartGlVideo(error))
            return false;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        auto* sdlWindow = dynamic_cast<SdlWindow*>(window);
        if (sdlWindow && (SDL_GetWindowFlags(sdlWindow->Native()) & SDL_WINDOW_OPENGL))
            m_shown = sdlWindow;
        // Only a place for the context: the device draws into framebuffers of its own.
        {
            // The first window may load the GL driver (see DriverAllocations).
            const DriverAllocations driver;
            m_ownWindow = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1, 1,
                                           SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        }
        if (!m_ownWindow)
            return Fail("no window for an OpenGL context: ", error);
        m_context = SDL_GL_CreateContext(m_ownWindow);
        if (!m_context)
            return Fail("no OpenGL 4.5 core context: ", error);
        return true;
    }

    // The window pictures go to, with the context current on it until EndPresent; null when there is
    // none to show them (a headless run, a closed window).
    SDL_Window* BeginPresent()
    {
        if (!m_shown || m_shown->IsDestroyed() || SDL_GL_MakeCurrent(m_shown->Native(), m_context) != 0)
            return nullptr;
        SDL_Window* window = m_shown->Native();
        // The interval belongs to the window swapped.
        if (window != m_intervalWindow)
        {
            SDL_GL_SetSwapInterval(m_swapInterval);
            m_intervalWindow = window;
        }
        return window;
    }

    // 1 waits for the display's refresh at each swap, 0 does not.
    void SetSwapInterval(int interval)
    {
        m_swapInterval = interval;
        m_intervalWindow = nullptr;
    }

    void EndPresent() { SDL_GL_MakeCurrent(m_ownWindow, m_context); }

private:
    static bool Fail(const char* what, std::string& error)
    {
        error = std::string(what) + SDL_GetError();
        return false;
    }

    SdlWindow* m_shown = nullptr;
    SDL_Window* m_ownWindow = nullptr;
    SDL_Window* m_intervalWindow = nullptr;
    int m_swapInterval = 0;
    SDL_GLContext m_context = nullptr;
};

class GlDevice final : public Device
{
public:
    ~GlDevice() override
    {
        // What the device holds goes while the context is still there; what others hold stays, inert.
        m_state = DeviceState();
        m_targets = {};
        m_depthStencil.reset();
        m_backBuffer.reset();
        m_preTransformed.reset();
        m_vertexColour.reset();
        if (m_pipeline)
        {
            glDeleteProgramPipelines(1, &m_pipeline);
            glDeleteFramebuffers(1, &m_drawFramebuffer);
            glDeleteFramebuffers(1, &m_scratchFramebuffer);
            glDeleteSamplers(kSamplerCount, m_samplers);
            glDeleteBuffers(1, &m_userVertices);
            glDeleteBuffers(1, &m_userIndices);
        }
        m_life->alive = false;
    }

    bool Start(Window* window, const PresentParameters& parameters, std::string& error)
    {
        if (!m_context.Start(window, error))
            return false;
        glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
        GLint largest = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
        m_maxTextureSize = static_cast<std::uint32_t>(std::max(largest, 0));
        glCreateProgramPipelines(1, &m_pipeline);
        glBindProgramPipeline(m_pipeline);
        glCreateFramebuffers(1, &m_drawFramebuffer);
        glCreateFramebuffers(1, &m_scratchFramebuffer);
        glCreateSamplers(kSamplerCount, m_samplers);
        glBindSamplers(0, kSamplerCount, m_samplers);
        glCreateBuffers(1, &m_userVertices);
        glCreateBuffers(1, &m_userIndices);
        glEnable(GL_PROGRAM_POINT_SIZE);
        // A vertex without a colour of its own is white.
        glVertexAttrib4f(static_cast<GLuint>(AttributeLocation(DeclUsage::Colour, 0)), 1.0f, 1.0f, 1.0f,
                         1.0f);
        std::string log;
        m_preTransformed =
            std::make_shared<GlShader>(ShaderStage::Vertex, kPreTransformedVertexStage, log, m_life);
        m_vertexColour = std::make_shared<GlShader>(ShaderStage::Pixel, kVertexColourPixelStage, log, m_life);
        if (!m_preTransformed->Program() || !m_vertexColour->Program())
        {
            error = "the device's own shaders do not compile: " + log;
            return false;
        }
        if (Reset(parameters).Failed())
        {
            error = "no back buffer of " + std::to_string(parameters.backBufferWidth) + "x" +
                    std::to_string(parameters.backBufferHeight);
            return false;
        }
        return true;
    }

    std::uint32_t MaxTextureSize() const override { return m_maxTextureSize; }

    Result CreateVertexBuffer(std::uint32_t size, std::uint32_t usage, Pool pool,
                              std::shared_ptr<VertexBuffer>& buffer) override
    {
        if (size == 0)
            return Result::Code::InvalidCall;
        buffer = std::make_shared<GlVertexBuffer>(BufferDesc{size, usage, pool}, m_life);
        return Checked();
    }

    Result CreateIndexBuffer(std::uint32_t size, std::uint32_t usage, IndexFormat format, Pool pool,
                             std::shared_ptr<IndexBuffer>& buffer) override
    {
        if (size == 0)
            return Result::Code::InvalidCall;
        buffer = std::make_shared<GlIndexBuffer>(BufferDesc{size, usage, pool, format}, m_life);
        return Checked();
    }

    Result CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels, std::uint32_t usage,
                         Format format, Pool pool, std::shared_ptr<Texture>& texture) override
    {
        GlFormat gl;
        const bool target = usage & (kUsageRenderTarget | kUsageDepthStencil);
        if (width == 0 || height == 0 || !ToGlFormat(format, gl) || (target && IsCompressedFormat(format)) ||
            ((usage & kUsageDepthStencil) != 0) != IsDepthFormat(format))
            return Result::Code::InvalidCall;
        const std::uint32_t full = FullLevelCount(width, height);
        const std::uint32_t count = target ? 1 : levels == 0 ? full : std::min(levels, full);
        texture =
            std::make_shared<GlTexture>(SurfaceDesc{format, usage, pool, width, height}, count, gl, m_life);
        return Checked();
    }

    Result CreateRenderTarget(std::uint32_t width, std::uint32_t height, Format format,
                              std::shared_ptr<Surface>& surface) override
    {
        return CreateRenderbuffer({format, kUsageRenderTarget, Pool::Default, width, height}, surface);
    }

    Result CreateDepthStencilSurface(std::uint32_t width, std::uint32_t height, Format format,
                                     std::shared_ptr<Surface>& surface) override
    {
        if (!IsDepthFormat(format))
            return Result::Code::InvalidCall;
        return CreateRenderbuffer({format, kUsageDepthStencil, Pool::Default, width, height}, surface);
    }

    Result CreateOffscreenPlainSurface(std::uint32_t width, std::uint32_t height, Format format,
                                       std::shared_ptr<Surface>& surface) override
    {
        if (width == 0 || height == 0 || format == Format::Unknown || IsDepthFormat(format))
            return Result::Code::InvalidCall;
        surface = std::make_shared<MemorySurface>(SurfaceDesc{format, 0, Pool::SystemMemory, width, height});
        return Result::Code::Ok;
    }

    Result CreateVertexDeclaration(std::span<const VertexElement> elements,
                                   std::shared_ptr<VertexDeclaration>& declaration) override
    {
        if (elements.empty())
            return Result::Code::InvalidCall;
        for (const VertexElement& element : elements)
            if (element.stream >= kStreamCount)
                return Result::Code::InvalidCall;
        declaration = std::make_shared<GlDeclaration>(
            std::vector<VertexElement>(elements.begin(), elements.end()), m_life);
        return Checked();
    }

    Result CreateShader(ShaderStage stage, std::string_view source, std::shared_ptr<Shader>& shader,
                        std::string& log) override
    {
        auto made = std::make_shared<GlShader>(stage, source, log, m_life);
        if (!made->Program())
            return Result::Code::InvalidCall;
        shader = std::move(made);
        return Checked();
    }

    Result SetRenderTarget(std::uint32_t index, std::shared_ptr<Surface> surface) override
    {
        if (index >= kRenderTargetCount || (surface && !(surface->GetDesc().usage & kUsageRenderTarget)) ||
            (surface && !dynamic_cast<GlAttachable*>(surface.get())))
            return Result::Code::InvalidCall;
        m_targets[index] = std::move(surface);
        m_targetsDirty = true;
        if (index == 0)
        {
            // A new first target is drawn whole, as a fresh device draws its back buffer.
            const SurfaceDesc& desc = GetRenderTarget(0)->GetDesc();
            SetViewport({0, 0, desc.width, desc.height, 0.0f, 1.0f});
            SetScissorRect(
                {0, 0, static_cast<std::int32_t>(desc.width), static_cast<std::int32_t>(desc.height)});
        }
        return Result::Code::Ok;
    }

    std::shared_ptr<Surface> GetRenderTarget(std::uint32_t index) const override
    {
        if (index >= kRenderTargetCount)
            return nullptr;
        return index == 0 && !m_targets[0] ? m_backBuffer : m_targets[index];
    }

    Result SetDepthStencilSurface(std::shared_ptr<Surface> surface) override
    {
        if (surface &&
            (!IsDepthFormat(surface->GetDesc().format) || !dynamic_cast<GlAttachable*>(surface.get())))
            return Result::Code::InvalidCall;
        m_depthStencil = std::move(surface);
        m_targetsDirty = true;
        return Result::Code::Ok;
    }

    std::shared_ptr<Surface> GetDepthStencilSurface() const override { return m_depthStencil; }
    std::shared_ptr<Surface> GetBackBuffer() const override { return m_backBuffer; }

    Result SetRenderState(RenderState state, std::uint32_t value) override
    {
        if (state >= RenderState::Count)
            return Result::Code::InvalidCall;
        auto& current = m_state.renderStates[static_cast<std::size_t>(state)];
        if (current != value)
        {
            current = value;
            m_dirtyGroups.set(static_cast<std::size_t>(GroupOf(state)));
        }
        return Result::Code::Ok;
    }

    Result SetSamplerState(std::uint32_t sampler, SamplerState state, std::uint32_t value) override
    {
        if (sampler >= kSamplerCount || state >= SamplerState::Count)
            return Result::Code::InvalidCall;
        auto& current = m_state.samplerStates[sampler][static_cast<std::size_t>(state)];
        if (current != value)
        {
            current = value;
            m_dirtySamplers |= 1u << sampler;
        }
        return Result::Code::Ok;
    }

    Result SetTexture(std::uint32_t sampler, std::shared_ptr<Texture> texture) override
    {
        if (sampler >= kSamplerCount || (texture && !dynamic_cast<GlTexture*>(texture.get())))
            return Result::Code::InvalidCall;
        if (m_state.textures[sampler] != texture)
        {
            m_state.textures[sampler] = std::move(texture);
            m_dirtyTextures |= 1u << sampler;
        }
        return Result::Code::Ok;
    }

    Result SetStreamSource(std::uint32_t stream, std::shared_ptr<VertexBuffer> buffer, std::uint32_t offset,
                           std::uint32_t stride) override
    {
        if (stream >= kStreamCount || (buffer && !dynamic_cast<GlVertexBuffer*>(buffer.get())))
            return Result::Code::InvalidCall;
        StreamSource& source = m_state.streams[stream];
        source.buffer = std::move(buffer);
        source.offset = offset;
        source.stride = stride;
        return Result::Code::Ok;
    }

    Result SetStreamSourceFreq(std::uint32_t stream, std::uint32_t setting) override
    {
        if (stream >= kStreamCount || (setting & ~(kStreamIndexedData | kStreamInstanceData)) == 0 ||
            (setting & kStreamIndexedData && setting & kStreamInstanceData))
            return Result::Code::InvalidCall;
        m_state.streams[stream].frequency = setting;
        return Result::Code::Ok;
    }

    Result SetIndices(std::shared_ptr<IndexBuffer> indices) override
    {
        if (indices && !dynamic_cast<GlIndexBuffer*>(indices.get()))
            return Result::Code::InvalidCall;
        m_state.indices = std::move(indices);
        return Result::Code::Ok;
    }

    Result SetVertexDeclaration(std::shared_ptr<VertexDeclaration> declaration) override
    {
        if (declaration && !dynamic_cast<GlDeclaration*>(declaration.get()))
            return Result::Code::InvalidCall;
        m_state.declaration = std::move(declaration);
        return Result::Code::Ok;
    }

    Result SetVertexShader(std::shared_ptr<Shader> shader) override
    {
        if (shader && (shader->Stage() != ShaderStage::Vertex || !dynamic_cast<GlShader*>(shader.get())))
            return Result::Code::InvalidCall;
        m_state.vertexShader = std::move(shader);
        return Result::Code::Ok;
    }

    Result SetPixelShader(std::shared_ptr<Shader> shader) override
    {
        if (shader && (shader->Stage() != ShaderStage::Pixel || !dynamic_cast<GlShader*>(shader.get())))
            return Result::Code::InvalidCall;
        m_state.pixelShader = std::move(shader);
        return Result::Code::Ok;
    }

    Result SetScissorRect(const Rect& rect) override
    {
        if (rect.right < rect.left || rect.bottom < rect.top)
            return Result::Code::InvalidCall;
        m_state.scissor = rect;
        m_dirtyGroups.set(static_cast<std::size_t>(StateGroup::Scissor));
        return Result::Code::Ok;
    }

    Result SetViewport(const Viewport& viewport) override
    {
        const SurfaceDesc& target = GetRenderTarget(0)->GetDesc();
        if (viewport.x + viewport.width > target.width || viewport.y + viewport.height > target.height ||
            viewport.minZ > viewport.maxZ)
            return Result::Code::InvalidCall;
        m_state.viewport = viewport;
        glViewport(static_cast<GLint>(viewport.x), static_cast<GLint>(viewport.y),
                   static_cast<GLsizei>(viewport.width), static_cast<GLsizei>(viewport.height));
        glDepthRangef(viewport.minZ, viewport.maxZ);
        return Result::Code::Ok;
    }

    Result ApplyStateBlock(const StateBlock& block) override { return SetEach(block.State()); }
    const DeviceState& State() const override { return m_state; }

    Result BeginScene() override
    {
        if (m_inScene)
            return Result::Code::InvalidCall;
        m_inScene = true;
        return Result::Code::Ok;
    }

    Result EndScene() override
    {
        if (!m_inScene)
            return Result::Code::InvalidCall;
        m_inScene = false;
        return Result::Code::Ok;
    }

    Result Clear(std::span<const Rect> rects, std::uint32_t flags, std::uint32_t colour, float depth,
                 std::uint32_t stencil) override
    {
        if (flags == 0 || (flags & ~(kClearTarget | kClearDepth | kClearStencil)))
            return Result::Code::InvalidCall;
        FlushTargets();
        GLbitfield mask = 0;
        if (flags & kClearTarget)
        {
            glClearColor(Channel(colour, 16), Channel(colour, 8), Channel(colour, 0), Channel(colour, 24));
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if (flags & kClearDepth)
        {
            glClearDepthf(depth);
            glDepthMask(GL_TRUE);
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        if (flags & kClearStencil)
        {
            glClearStencil(static_cast<GLint>(stencil));
            glStencilMask(0xFFFFFFFFu);
            mask |= GL_STENCIL_BUFFER_BIT;
        }
        glEnable(GL_SCISSOR_TEST);
        for (const Rect& rect : ClearedRects(rects, m_state.viewport))
        {
            glScissor(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
            glClear(mask);
        }
        // The masks and the scissor are the render states' again at the next draw.
        for (StateGroup group :
             {StateGroup::ColourWrite, StateGroup::Depth, StateGroup::Stencil, StateGroup::Scissor})
            m_dirtyGroups.set(static_cast<std::size_t>(group));
        return Checked();
    }

    Result DrawPrimitive(PrimitiveType type, std::uint32_t startVertex, std::uint32_t primitives) override
    {
        // The driver compiles its shader variants at draws and keeps them for the process.
        const DriverAllocations driver;
        const Result prepared = PrepareDraw(0, 0, false);
        if (prepared.Failed())
            return prepared;
        glDrawArrays(ModeOf(type), static_cast<GLint>(startVertex),
                     static_cast<GLsizei>(VertexCountOf(type, primitives)));
        return Checked();
    }

    Result DrawIndexedPrimitive(PrimitiveType type, std::int32_t baseVertex, std::uint32_t, std::uint32_t,
                                std::uint32_t startIndex, std::uint32_t primitives) override
    {
        // The driver compiles its shader variants at draws and keeps them for the process.
        const DriverAllocations driver;
        if (!m_state.indices)
            return Result::Code::InvalidCall;
        const Result prepared = PrepareDraw(0, 0, true);
        if (prepared.Failed())
            return prepared;
        const bool wide = m_state.indices->GetDesc().indexFormat == IndexFormat::Index32;
        DrawIndexed(type, primitives, wide, std::size_t{startIndex} * (wide ? 4 : 2), baseVertex);
        return Checked();
    }

    Result DrawPrimitiveUP(PrimitiveType type, std::uint32_t primitives, const void* vertices,
                           std::uint32_t stride) override
    {
        // The driver compiles its shader variants at draws and keeps them for the process.
        const DriverAllocations driver;
        const std::size_t bytes = std::size_t{VertexCountOf(type, primitives)} * stride;
        if (!vertices || stride == 0)
            return Result::Code::InvalidCall;
        glNamedBufferData(m_userVertices, static_cast<GLsizeiptr>(bytes), vertices, GL_STREAM_DRAW);
        m_state.streams[0].buffer = nullptr;
        const Result prepared = PrepareDraw(m_userVertices, stride, false);
        if (prepared.Failed())
            return prepared;
        glDrawArrays(ModeOf(type), 0, static_cast<GLsizei>(VertexCountOf(type, primitives)));
        return Checked();
    }

    Result DrawIndexedPrimitiveUP(PrimitiveType type, std::uint32_t minIndex, std::uint32_t vertexCount,
                                  std::uint32_t primitives, const void* indices, IndexFormat format,
                                  const void* vertices, std::uint32_t stride) override
    {
        // The driver compiles its shader variants at draws and keeps them for the process.
        const DriverAllocations driver;
        if (!vertices || !indices || stride == 0)
            return Result::Code::InvalidCall;
        const bool wide = format == IndexFormat::Index32;
        glNamedBufferData(m_userVertices,
                          static_cast<GLsizeiptr>(std::size_t{minIndex + vertexCount} * stride), vertices,
                          GL_STREAM_DRAW);
        glNamedBufferData(
            m_userIndices,
            static_cast<GLsizeiptr>(std::size_t{VertexCountOf(type, primitives)} * (wide ? 4 : 2)), indices,
            GL_STREAM_DRAW);
        m_state.streams[0].buffer = nullptr;
        m_state.indices = nullptr;
        const Result prepared = PrepareDraw(m_userVertices, stride, false);
        if (prepared.Failed())
            return prepared;
        glVertexArrayElementBuffer(static_cast<GlDeclaration&>(*m_state.declaration).VertexArray(),
                                   m_userIndices);
        DrawIndexed(type, primitives, wide, 0, 0);
        return Checked();
    }

    Result ColorFill(Surface& surface, const Rect* rect, std::uint32_t colour) override
    {
        const SurfaceDesc& desc = surface.GetDesc();
        if (IsDepthFormat(desc.format) || IsCompressedFormat(desc.format) || !IsLockableRect(desc, rect))
            return Result::Code::InvalidCall;
        if (auto* memory = dynamic_cast<MemorySurface*>(&surface))
        {
            if (!IsColourFormat32(desc.format))
                return Result::Code::InvalidCall;
            memory->Fill(rect, colour);
            return Result::Code::Ok;
        }
        const auto* attachable = dynamic_cast<GlAttachable*>(&surface);
        if (!attachable)
            return Result::Code::InvalidCall;
        attachable->AttachTo(m_scratchFramebuffer, GL_COLOR_ATTACHMENT0);
        glNamedFramebufferDrawBuffer(m_scratchFramebuffer, GL_COLOR_ATTACHMENT0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_scratchFramebuffer);
        const Rect area =
            rect ? *rect
                 : Rect{0, 0, static_cast<std::int32_t>(desc.width), static_cast<std::int32_t>(desc.height)};
        glEnable(GL_SCISSOR_TEST);
        glScissor(area.left, area.top, area.right - area.left, area.bottom - area.top);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        const GLfloat value[4] = {Channel(colour, 16), Channel(colour, 8), Channel(colour, 0),
                                  Channel(colour, 24)};
        glClearBufferfv(GL_COLOR, 0, value);
        Detach(GL_COLOR_ATTACHMENT0);
        m_targetsDirty = true;
        m_dirtyGroups.set(static_cast<std::size_t>(StateGroup::ColourWrite));
        m_dirtyGroups.set(static_cast<std::size_t>(StateGroup::Scissor));
        return Checked();
    }

    Result ReadSurface(Surface& surface, std::vector<std::uint32_t>& pixels) override
    {
        const SurfaceDesc& desc = surface.GetDesc();
        if (!IsColourFormat32(desc.format))
            return Result::Code::InvalidCall;
        if (auto* memory = dynamic_cast<MemorySurface*>(&surface))
        {
            memory->ReadColours(pixels);
            return Result::Code::Ok;
        }
        const auto* attachable = dynamic_cast<GlAttachable*>(&surface);
        if (!attachable)
            return Result::Code::InvalidCall;
        attachable->AttachTo(m_scratchFramebuffer, GL_COLOR_ATTACHMENT0);
        glNamedFramebufferReadBuffer(m_scratchFramebuffer, GL_COLOR_ATTACHMENT0);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_scratchFramebuffer);
        pixels.resize(std::size_t{desc.width} * desc.height);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        // BGRA bytes are the packed colour in memory.
        glReadPixels(0, 0, static_cast<GLsizei>(desc.width), static_cast<GLsizei>(desc.height), GL_BGRA,
                     GL_UNSIGNED_BYTE, pixels.data());
        Detach(GL_COLOR_ATTACHMENT0);
        if (desc.format == Format::X8R8G8B8)
            for (std::uint32_t& pixel : pixels)
                pixel |= 0xFF000000u;
        return Checked();
    }

    Result Present() override
    {
        const auto width = static_cast<GLint>(m_parameters.backBufferWidth);
        const auto height = static_cast<GLint>(m_parameters.backBufferHeight);
        SDL_Window* window = m_context.BeginPresent();
        if (!window)
        {
            // Nothing shows the picture: the frame's work is only sent on.
            glFlush();
            return Checked();
        }
        int windowWidth = 0;
        int windowHeight = 0;
        SDL_GL_GetDrawableSize(window, &windowWidth, &windowHeight);
        m_backBuffer->AttachTo(m_scratchFramebuffer, GL_COLOR_ATTACHMENT0);
        glNamedFramebufferReadBuffer(m_scratchFramebuffer, GL_COLOR_ATTACHMENT0);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_scratchFramebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        // The back buffer's first row is the top of the picture; the window's is its bottom.
        const GLenum filter = width == windowWidth && height == windowHeight ? GL_NEAREST : GL_LINEAR;
        {
            // Drawing into the window makes the driver allocate its buffers, kept for the window's life.
            const DriverAllocations driver;
            glBlitFramebuffer(0, 0, width, height, 0, windowHeight, windowWidth, 0, GL_COLOR_BUFFER_BIT,
                              filter);
        }
        SDL_GL_SwapWindow(window);
        m_context.EndPresent();
        Detach(GL_COLOR_ATTACHMENT0);
        m_targetsDirty = true;
        m_dirtyGroups.set(static_cast<std::size_t>(StateGroup::Scissor));
        return Checked();
    }

    Result TestCooperativeLevel() override { return Result::Code::Ok; }

    Result Reset(const PresentParameters& parameters) override
    {
        if (parameters.backBufferWidth == 0 || parameters.backBufferHeight == 0 ||
            (parameters.autoDepthStencil && !IsDepthFormat(parameters.depthStencilFormat)))
            return Result::Code::InvalidCall;
        const SurfaceDesc colour{Format::A8R8G8B8, kUsageRenderTarget, Pool::Default,
                                 parameters.backBufferWidth, parameters.backBufferHeight};
        auto backBuffer = std::make_shared<GlRenderbufferSurface>(colour, m_life);
        std::shared_ptr<GlRenderbufferSurface> depth;
        if (parameters.autoDepthStencil)
            depth = std::make_shared<GlRenderbufferSurface>(
                SurfaceDesc{parameters.depthStencilFormat, kUsageDepthStencil, Pool::Default,
                            parameters.backBufferWidth, parameters.backBufferHeight},
                m_life);
        if (!backBuffer->IsValid() || (depth && !depth->IsValid()) || Checked().Failed())
            return Result::Code::OutOfVideoMemory;
        m_parameters = parameters;
        m_context.SetSwapInterval(parameters.vsync ? 1 : 0);
        m_backBuffer = std::move(backBuffer);
        m_depthStencil = std::move(depth);
        m_targets = {};
        m_targetsDirty = true;
        // A reset device starts from the default states.
        m_state = DeviceState();
        m_dirtyGroups.set();
        m_dirtySamplers = m_dirtyTextures = (1u << kSamplerCount) - 1;
        SetViewport({0, 0, parameters.backBufferWidth, parameters.backBufferHeight, 0.0f, 1.0f});
        m_state.scissor = {0, 0, static_cast<std::int32_t>(parameters.backBufferWidth),
                           static_cast<std::int32_t>(parameters.backBufferHeight)};
        return Checked();
    }

    const PresentParameters& Parameters() const override { return m_parameters; }

private:
    Result CreateRenderbuffer(const SurfaceDesc& desc, std::shared_ptr<Surface>& surface)
    {
        if (desc.width == 0 || desc.height == 0 || desc.format == Format::Unknown ||
            IsCompressedFormat(desc.format))
            return Result::Code::InvalidCall;
        auto made = std::make_shared<GlRenderbufferSurface>(desc, m_life);
        const Result result = Checked();
        if (result.Failed() || !made->IsValid())
            return result.Failed() ? result : Result::Code::NotAvailable;
        surface = std::move(made);
        return result;
    }

    void Detach(GLenum attachment)
    {
        glNamedFramebufferRenderbuffer(m_scratchFramebuffer, attachment, GL_RENDERBUFFER, 0);
    }

    // Attaches the current targets to the drawing framebuffer and binds it.
    void FlushTargets()
    {
        if (m_targetsDirty)
        {
            GLenum buffers[kRenderTargetCount];
            for (std::uint32_t i = 0; i < kRenderTargetCount; ++i)
            {
                const GLenum attachment = GL_COLOR_ATTACHMENT0 + i;
                const std::shared_ptr<Surface> target = GetRenderTarget(i);
                if (target)
                    dynamic_cast<const GlAttachable&>(*target).AttachTo(m_drawFramebuffer, attachment);
                else
                    glNamedFramebufferRenderbuffer(m_drawFramebuffer, attachment, GL_RENDERBUFFER, 0);
                buffers[i] = target ? attachment : GL_NONE;
            }
            glNamedFramebufferDrawBuffers(m_drawFramebuffer, kRenderTargetCount, buffers);
            glNamedFramebufferRenderbuffer(m_drawFramebuffer, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                           0);
            if (m_depthStencil)
                dynamic_cast<const GlAttachable&>(*m_depthStencil)
                    .AttachTo(m_drawFramebuffer, HasStencil(m_depthStencil->GetDesc().format)
                                                     ? GL_DEPTH_STENCIL_ATTACHMENT
                                                     : GL_DEPTH_ATTACHMENT);
            m_targetsDirty = false;
        }
        glBindFramebuffer(GL_FRAMEBUFFER, m_drawFramebuffer);
    }

    std::uint32_t Value(RenderState state) const
    {
        return m_state.renderStates[static_cast<std::size_t>(state)];
    }

    void FlushRenderStates()
    {
        const auto dirty = [this](StateGroup group)
        { return m_dirtyGroups.test(static_cast<std::size_t>(group)); };
        if (dirty(StateGroup::Depth))
        {
            Enable(GL_DEPTH_TEST, Value(RenderState::ZEnable) != 0);
            glDepthMask(Value(RenderState::ZWriteEnable) ? GL_TRUE : GL_FALSE);
            glDepthFunc(CompareOf(Value(RenderState::ZFunc)));
        }
        if (dirty(StateGroup::Fill))
        {
            const std::uint32_t fill = Value(RenderState::FillMode);
            glPolygonMode(GL_FRONT_AND_BACK, fill == kFillPoint       ? GL_POINT
                                             : fill == kFillWireframe ? GL_LINE
                                                                      : GL_FILL);
        }
        if (dirty(StateGroup::Cull))
        {
            const std::uint32_t cull = Value(RenderState::CullMode);
            Enable(GL_CULL_FACE, cull == kCullClockwise || cull == kCullCounterClockwise);
            // With the origin at the upper left GL reckons windings on the picture as seen: the kept face
            // is the other winding than the one culled.
            glFrontFace(cull == kCullClockwise ? GL_CCW : GL_CW);
            glCullFace(GL_BACK);
        }
        if (dirty(StateGroup::Blend))
        {
            Enable(GL_BLEND, Value(RenderState::AlphaBlendEnable) != 0);
            const bool separate = Value(RenderState::SeparateAlphaBlendEnable) != 0;
            glBlendFuncSeparate(
                BlendOf(Value(RenderState::SrcBlend)), BlendOf(Value(RenderState::DestBlend)),
                BlendOf(Value(separate ? RenderState::SrcBlendAlpha : RenderState::SrcBlend)),
                BlendOf(Value(separate ? RenderState::DestBlendAlpha : RenderState::DestBlend)));
            glBlendEquationSeparate(
                BlendOpOf(Value(RenderState::BlendOp)),
                BlendOpOf(Value(separate ? RenderState::BlendOpAlpha : RenderState::BlendOp)));
        }
        if (dirty(StateGroup::Scissor))
        {
            Enable(GL_SCISSOR_TEST, Value(RenderState::ScissorTestEnable) != 0);
            const Rect& rect = m_state.scissor;
            glScissor(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        }
        if (dirty(StateGroup::Stencil))
        {
            Enable(GL_STENCIL_TEST, Value(RenderState::StencilEnable) != 0);
            glStencilFunc(CompareOf(Value(RenderState::StencilFunc)),
                          static_cast<GLint>(Value(RenderState::StencilRef)),
                          Value(RenderState::StencilMask));
            glStencilMask(Value(RenderState::StencilWriteMask));
            glStencilOp(StencilOpOf(Value(RenderState::StencilFail)),
                        StencilOpOf(Value(RenderState::StencilZFail)),
                        StencilOpOf(Value(RenderState::StencilPass)));
        }
        if (dirty(StateGroup::ColourWrite))
        {
            const std::uint32_t mask = Value(RenderState::ColourWriteEnable);
            glColorMask(mask & 1 ? GL_TRUE : GL_FALSE, mask & 2 ? GL_TRUE : GL_FALSE,
                        mask & 4 ? GL_TRUE : GL_FALSE, mask & 8 ? GL_TRUE : GL_FALSE);
        }
        if (dirty(StateGroup::DepthBias))
        {
            const float bias = std::bit_cast<float>(Value(RenderState::DepthBias));
            const float slope = std::bit_cast<float>(Value(RenderState::SlopeScaleDepthBias));
            Enable(GL_POLYGON_OFFSET_FILL, bias != 0.0f || slope != 0.0f);
            // The bias is in depth units; GL counts in the smallest step of a 24-bit depth buffer.
            glPolygonOffset(slope, bias * 16777215.0f);
        }
        m_dirtyGroups.reset();
    }

    void FlushSamplers()
    {
        for (std::uint32_t i = 0; i < kSamplerCount; ++i)
        {
            if (m_dirtySamplers & (1u << i))
            {
                const auto& states = m_state.samplerStates[i];
                const auto state = [&states](SamplerState which)
                { return states[static_cast<std::size_t>(which)]; };
                const GLuint sampler = m_samplers[i];
                glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S,
                                    static_cast<GLint>(AddressOf(state(SamplerState::AddressU))));
                glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T,
                                    static_cast<GLint>(AddressOf(state(SamplerState::AddressV))));
                glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R,
                                    static_cast<GLint>(AddressOf(state(SamplerState::AddressW))));
                const std::uint32_t border = state(SamplerState::BorderColour);
                const GLfloat borderColour[4] = {Channel(border, 16), Channel(border, 8), Channel(border, 0),
                                                 Channel(border, 24)};
                glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, borderColour);
                const bool magLinear = state(SamplerState::MagFilter) >= kFilterLinear;
                const bool minLinear = state(SamplerState::MinFilter) >= kFilterLinear;
                const std::uint32_t mip = state(SamplerState::MipFilter);
                const GLenum minFilter =
                    mip == kFilterNone    ? (minLinear ? GL_LINEAR : GL_NEAREST)
                    : mip == kFilterPoint ? (minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST)
                                          : (minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR);
                glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
                glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
                glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS,
                                    std::bit_cast<float>(state(SamplerState::MipLodBias)));
                glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD,
                                    static_cast<float>(state(SamplerState::MaxMipLevel)));
            }
            if (m_dirtyTextures & (1u << i))
            {
                const auto* texture = static_cast<const GlTexture*>(m_state.textures[i].get());
                glBindTextureUnit(i, texture ? texture->Name() : 0);
            }
        }
        m_dirtySamplers = m_dirtyTextures = 0;
    }

    // Everything a draw needs set: targets, states, samplers, stages and the streams of the declaration
    // (stream 0 from userVertices when that is given).
    Result PrepareDraw(GLuint userVertices, std::uint32_t userStride, bool indexed)
    {
        auto* declaration = static_cast<GlDeclaration*>(m_state.declaration.get());
        if (!m_inScene || !declaration || (!m_state.vertexShader && !declaration->IsPreTransformed()))
            return Result::Code::InvalidCall;
        for (std::uint32_t stream = 0; stream < kStreamCount; ++stream)
            if (declaration->UsesStream(stream) && !(stream == 0 && userVertices) &&
                !m_state.streams[stream].buffer)
                return Result::Code::InvalidCall;
        FlushTargets();
        FlushRenderStates();
        FlushSamplers();

        const auto& vertexShader = m_state.vertexShader ? m_state.vertexShader : m_preTransformed;
        const auto& pixelShader = m_state.pixelShader ? m_state.pixelShader : m_vertexColour;
        glUseProgramStages(m_pipeline, GL_VERTEX_SHADER_BIT, static_cast<GlShader&>(*vertexShader).Program());
        glUseProgramStages(m_pipeline, GL_FRAGMENT_SHADER_BIT,
                           static_cast<GlShader&>(*pixelShader).Program());
        if (!m_state.vertexShader)
            SetPreTransformedUniforms(*declaration);
        if (!m_state.pixelShader)
            SetVertexColourUniforms();

        const GLuint vertexArray = declaration->VertexArray();
        glBindVertexArray(vertexArray);
        for (std::uint32_t stream = 0; stream < kStreamCount; ++stream)
        {
            if (!declaration->UsesStream(stream))
                continue;
            const StreamSource& source = m_state.streams[stream];
            if (stream == 0 && userVertices)
                glVertexArrayVertexBuffer(vertexArray, 0, userVertices, 0, static_cast<GLsizei>(userStride));
            else
                glVertexArrayVertexBuffer(vertexArray, stream,
                                          static_cast<GlVertexBuffer&>(*source.buffer).Name(), source.offset,
                                          static_cast<GLsizei>(source.stride));
            glVertexArrayBindingDivisor(
                vertexArray, stream,
                source.frequency & kStreamInstanceData ? source.frequency & ~kStreamInstanceData : 0);
        }
        if (indexed)
            glVertexArrayElementBuffer(vertexArray, static_cast<GlIndexBuffer&>(*m_state.indices).Name());
        return Result::Code::Ok;
    }

    void DrawIndexed(PrimitiveType type, std::uint32_t primitives, bool wide, std::size_t byteOffset,
                     std::int32_t baseVertex)
    {
        const std::uint32_t frequency = m_state.streams[0].frequency;
        const GLsizei instances =
            frequency & kStreamIndexedData ? static_cast<GLsizei>(frequency & ~kStreamIndexedData) : 1;
        glDrawElementsInstancedBaseVertex(ModeOf(type), static_cast<GLsizei>(VertexCountOf(type, primitives)),
                                          wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                                          reinterpret_cast<const void*>(byteOffset), instances, baseVertex);
    }

    void SetPreTransformedUniforms(const GlDeclaration& declaration)
    {
        GlShader& shader = *m_preTransformed;
        const Viewport& viewport = m_state.viewport;
        const float rect[4] = {static_cast<float>(viewport.x), static_cast<float>(viewport.y),
                               static_cast<float>(viewport.width), static_cast<float>(viewport.height)};
        shader.SetFloats(shader.UniformLocation("uViewport"), rect);
        const float pointSize[1] = {std::bit_cast<float>(Value(RenderState::PointSize))};
        shader.SetFloats(shader.UniformLocation("uPointSize"), pointSize);
        const std::int32_t hasPointSize[1] = {declaration.HasPointSize() ? 1 : 0};
        shader.SetInts(shader.UniformLocation("uHasPointSize"), hasPointSize);
    }

    void SetVertexColourUniforms()
    {
        GlShader& shader = *m_vertexColour;
        const std::int32_t hasTexture[1] = {m_state.textures[0] ? 1 : 0};
        shader.SetInts(shader.UniformLocation("uHasTexture"), hasTexture);
        const std::int32_t alphaFunc[1] = {static_cast<std::int32_t>(
            Value(RenderState::AlphaTestEnable) ? Value(RenderState::AlphaFunc) : kCompareAlways)};
        shader.SetInts(shader.UniformLocation("uAlphaFunc"), alphaFunc);
        const float alphaRef[1] = {static_cast<float>(Value(RenderState::AlphaRef) & 0xFF) / 255.0f};
        shader.SetFloats(shader.UniformLocation("uAlphaRef"), alphaRef);
    }

    GlContext m_context;
    std::shared_ptr<GlContextLife> m_life = std::make_shared<GlContextLife>();
    PresentParameters m_parameters;
    DeviceState m_state;
    std::bitset<static_cast<std::size_t>(StateGroup::None) + 1> m_dirtyGroups;
    std::uint32_t m_dirtySamplers = 0;
    std::uint32_t m_dirtyTextures = 0;
    std::shared_ptr<GlRenderbufferSurface> m_backBuffer;
    std::array<std::shared_ptr<Surface>, kRenderTargetCount> m_targets; // slot 0 null: the back buffer
    std::shared_ptr<Surface> m_depthStencil;
    bool m_targetsDirty = true;
    bool m_inScene = false;
    std::shared_ptr<GlShader> m_preTransformed;
    std::shared_ptr<GlShader> m_vertexColour;
    GLuint m_pipeline = 0;
    GLuint m_drawFramebuffer = 0;
    GLuint m_scratchFramebuffer = 0;
    GLuint m_samplers[kSamplerCount] = {};
    GLuint m_userVertices = 0;
    GLuint m_userIndices = 0;
    std::uint32_t m_maxTextureSize = 0;
};

} // namespace

std::unique_ptr<Device> CreateGlDevice(Window* window, const PresentParameters& parameters,
                                       std::string& error)
{
    auto device = std::make_unique<GlDevice>();
    if (!device->Start(window, parameters, error))
        return nullptr;
    return device;
}

GlWindow OpenGlWindow(const WindowDesc& desc, std::string& error)
{
    GlWindow opened;
    if (!StartGlVideo(error))
        return opened;
    opened.window = Window::Create(desc, error);
    PresentParameters parameters;
    parameters.backBufferWidth = desc.width;
    parameters.backBufferHeight = desc.height;
    if (opened.window)
        opened.device = CreateGlDevice(opened.window.get(), parameters, error);
    if (!opened.device)
        opened.window.reset();
    return opened;
}

} // namespace Quarn::platform::gfx
