#include "platform/gfx/gl/GlDevice.h"

#include "platform/gfx/gl/GlVideo.h"

#include <SDL.h>
#include <array>
#include <epoxy/gl.h>

#include <algorithm>

namespace Quarn::platform::gfx
{

namespace
{

class GlAdapter final : public Adapter
{
public:
    bool Start(std::string& error)
    {
        if (!StartGlVideo(error))
            return false;
        ReadCapabilities();
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i)
        {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w > 0 && mode.h > 0)
                m_modes.push_back({static_cast<std::uint32_t>(mode.w), static_cast<std::uint32_t>(mode.h),
                                   static_cast<std::uint32_t>(std::max(mode.refresh_rate, 0)),
                                   Format::X8R8G8B8});
        }
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0)
            m_desktop = {static_cast<std::uint32_t>(desktop.w), static_cast<std::uint32_t>(desktop.h),
                         static_cast<std::uint32_t>(std::max(desktop.refresh_rate, 0)), Format::X8R8G8B8};
        return true;
    }

    const Capabilities& GetCapabilities() const override { return m_capabilities; }

    Result GetDisplayMode(DisplayMode& mode) const override
    {
        if (m_desktop.width == 0)
            return Result::Code::NotAvailable;
        mode = m_desktop;
        return Result::Code::Ok;
    }

    std::uint32_t GetModeCount(Format format) const override
    {
        return format == Format::X8R8G8B8 ? static_cast<std::uint32_t>(m_modes.size()) : 0;
    }

    Result EnumMode(Format format, std::uint32_t index, DisplayMode& mode) const override
    {
        if (index >= GetModeCount(format))
            return Result::Code::InvalidCall;
        mode = m_modes[index];
        return Result::Code::Ok;
    }

    Result CreateDevice(Window* window, const PresentParameters& parameters,
                        std::unique_ptr<Device>& device) override
    {
        std::string error;
        device = CreateGlDevice(window, parameters, error);
        return device ? Result::Code::Ok : Result::Code::NotAvailable;
    }

private:
    // What a GL 4.5 core context on a hidden window reports: presenting with and without waiting for
    // the refresh is always there, the shading language of the engine's shaders comes with 4.5, and the
    // driver tells its largest texture.
    void ReadCapabilities()
    {
        // The offscreen video driver loads the GL driver with the first window and unloads it with the
        // last, out of sight of the leak checker while the driver's globals still hold what it allocated.
        const DriverAllocations driver;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
        if (context)
        {
            m_capabilities.presentImmediate = true;
            m_capabilities.presentVSync = true;
            const std::uint32_t model = epoxy_gl_version() >= 45 ? 3 : 2;
            m_capabilities.vertexShaderModel = model;
            m_capabilities.pixelShaderModel = model;
            // The back buffer is a renderbuffer: the smaller of the two limits holds for it.
            GLint maxTextureSize = 0;
            GLint maxRenderbufferSize = 0;
            glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
            glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbufferSize);
            m_capabilities.maxTextureSize =
                static_cast<std::uint32_t>(std::max(std::min(maxTextureSize, maxRenderbufferSize), 0));
            m_identifier = IdentifierOf(reinterpret_cast<const char*>(glGetString(GL_VENDOR)),
                                        reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
            SDL_GL_DeleteContext(context);
        }
        if (window)
            SDL_DestroyWindow(window);
    }

    // Four words that stay the same for the same driver and graphics card: hashes of the vendor and
    // renderer names.
    static std::array<std::uint32_t, 4> IdentifierOf(const char* vendor, const char* renderer)
    {
        const auto hash = [](const char* text, std::uint32_t seed)
        {
            std::uint32_t value = seed;
            for (; text && *text; ++text)
                value = (value ^ static_cast<unsigned char>(*text)) * 16777619u;
            return value;
        };
        return {hash(vendor, 2166136261u), hash(renderer, 2166136261u), hash(vendor, 84696351u),
                hash(renderer, 84696351u)};
    }

    std::array<std::uint32_t, 4> Identifier() const override { return m_identifier; }

    Capabilities m_capabilities;
    std::array<std::uint32_t, 4> m_identifier{};
    DisplayMode m_desktop;
    std::vector<DisplayMode> m_modes;
};

} // namespace

std::unique_ptr<Adapter> CreateGlAdapter(std::string& error)
{
    auto adapter = std::make_unique<GlAdapter>();
    if (!adapter->Start(error))
        return nullptr;
    return adapter;
}

} // namespace Quarn::platform::gfx
