#include "platform/gfx/gl/GlDevice.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>

namespace Quarn::platform::gfx
{

namespace
{

float Channel(std::uint32_t colour, int shift)
{
    return static_cast<float>((colour >> shift) & 0xFF) / 255.0f;
}

class GlDevice final : public Device
{
public:
    ~GlDevice() override
    {
        if (m_context)
        {
            DeleteBackBuffer();
            SDL_GL_DeleteContext(m_context);
        }
        if (m_window)
            SDL_DestroyWindow(m_window);
        if (m_videoStarted)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool Start(const PresentParameters& parameters, std::string& error)
    {
        if (!SDL_WasInit(SDL_INIT_VIDEO))
        {
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
                return Fail("SDL video could not start: ", error);
            m_videoStarted = true;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        m_window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                    static_cast<int>(std::max(parameters.backBufferWidth, 1u)),
                                    static_cast<int>(std::max(parameters.backBufferHeight, 1u)),
                                    SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!m_window)
            return Fail("no window for an OpenGL context: ", error);
        m_context = SDL_GL_CreateContext(m_window);
        if (!m_context)
            return Fail("no OpenGL 4.5 core context: ", error);
        glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
        return Reset(parameters).Succeeded() || Fail("no back buffer: ", error);
    }

    Result Clear(std::span<const Rect> rects, std::uint32_t flags, std::uint32_t colour, float depth,
                 std::uint32_t stencil) override
    {
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
        if (mask == 0 || (flags & ~(kClearTarget | kClearDepth | kClearStencil)))
            return Result::Code::InvalidCall;
        glBindFramebuffer(GL_FRAMEBUFFER, m_backBuffer);
        glEnable(GL_SCISSOR_TEST);
        for (const Rect& rect : ClearedRects(rects, m_viewport))
        {
            glScissor(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
            glClear(mask);
        }
        glDisable(GL_SCISSOR_TEST);
        return Checked();
    }

    Result SetViewport(const Viewport& viewport) override
    {
        if (viewport.x + viewport.width > m_parameters.backBufferWidth ||
            viewport.y + viewport.height > m_parameters.backBufferHeight || viewport.minZ > viewport.maxZ)
            return Result::Code::InvalidCall;
        m_viewport = viewport;
        glViewport(static_cast<GLint>(viewport.x), static_cast<GLint>(viewport.y),
                   static_cast<GLsizei>(viewport.width), static_cast<GLsizei>(viewport.height));
        glDepthRangef(viewport.minZ, viewport.maxZ);
        return Checked();
    }

    Viewport GetViewport() const override { return m_viewport; }

    Result Present() override
    {
        const auto width = static_cast<GLint>(m_parameters.backBufferWidth);
        const auto height = static_cast<GLint>(m_parameters.backBufferHeight);
        int windowWidth = 0;
        int windowHeight = 0;
        SDL_GL_GetDrawableSize(m_window, &windowWidth, &windowHeight);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_backBuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        // The back buffer's first row is the top of the picture; the window's is its bottom.
        const GLenum filter = width == windowWidth && height == windowHeight ? GL_NEAREST : GL_LINEAR;
        glBlitFramebuffer(0, 0, width, height, 0, windowHeight, windowWidth, 0, GL_COLOR_BUFFER_BIT, filter);
        SDL_GL_SwapWindow(m_window);
        glBindFramebuffer(GL_FRAMEBUFFER, m_backBuffer);
        return Checked();
    }

    Result TestCooperativeLevel() override { return Result::Code::Ok; }

    Result Reset(const PresentParameters& parameters) override
    {
        if (parameters.backBufferWidth == 0 || parameters.backBufferHeight == 0)
            return Result::Code::InvalidCall;
        m_parameters = parameters;
        SDL_SetWindowSize(m_window, static_cast<int>(parameters.backBufferWidth),
                          static_cast<int>(parameters.backBufferHeight));
        SDL_GL_SetSwapInterval(parameters.vsync ? 1 : 0);
        DeleteBackBuffer();
        const auto width = static_cast<GLsizei>(parameters.backBufferWidth);
        const auto height = static_cast<GLsizei>(parameters.backBufferHeight);
        glCreateRenderbuffers(1, &m_colour);
        glNamedRenderbufferStorage(m_colour, GL_RGBA8, width, height);
        glCreateRenderbuffers(1, &m_depthStencil);
        glNamedRenderbufferStorage(m_depthStencil, GL_DEPTH24_STENCIL8, width, height);
        glCreateFramebuffers(1, &m_backBuffer);
        glNamedFramebufferRenderbuffer(m_backBuffer, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colour);
        glNamedFramebufferRenderbuffer(m_backBuffer, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                       m_depthStencil);
        if (glCheckNamedFramebufferStatus(m_backBuffer, GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            return Result::Code::NotAvailable;
        glBindFramebuffer(GL_FRAMEBUFFER, m_backBuffer);
        return SetViewport({0, 0, parameters.backBufferWidth, parameters.backBufferHeight, 0.0f, 1.0f});
    }

    const PresentParameters& Parameters() const override { return m_parameters; }

    Result ReadBackBuffer(std::vector<std::uint32_t>& pixels) override
    {
        const std::size_t count = std::size_t{m_parameters.backBufferWidth} * m_parameters.backBufferHeight;
        std::vector<std::uint8_t> bytes(count * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_backBuffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, static_cast<GLsizei>(m_parameters.backBufferWidth),
                     static_cast<GLsizei>(m_parameters.backBufferHeight), GL_RGBA, GL_UNSIGNED_BYTE,
                     bytes.data());
        pixels.resize(count);
        for (std::size_t i = 0; i < count; ++i)
        {
            const std::uint8_t* rgba = &bytes[i * 4];
            pixels[i] = PackColour(rgba[3], rgba[0], rgba[1], rgba[2]);
        }
        return Checked();
    }

private:
    bool Fail(const char* what, std::string& error)
    {
        error = std::string(what) + SDL_GetError();
        return false;
    }

    static Result Checked()
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

    void DeleteBackBuffer()
    {
        glDeleteFramebuffers(1, &m_backBuffer);
        glDeleteRenderbuffers(1, &m_colour);
        glDeleteRenderbuffers(1, &m_depthStencil);
        m_backBuffer = m_colour = m_depthStencil = 0;
    }

    SDL_Window* m_window = nullptr;
    SDL_GLContext m_context = nullptr;
    bool m_videoStarted = false;
    GLuint m_backBuffer = 0;
    GLuint m_colour = 0;
    GLuint m_depthStencil = 0;
    PresentParameters m_parameters;
    Viewport m_viewport;
};

} // namespace

std::unique_ptr<Device> CreateGlDevice(const PresentParameters& parameters, std::string& error)
{
    auto device = std::make_unique<GlDevice>();
    if (!device->Start(parameters, error))
        return nullptr;
    return device;
}

} // namespace Quarn::platform::gfx
