#include "platform/window/SdlWindow.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <vector>

namespace Quarn::platform
{

namespace
{
std::vector<SdlWindow*> g_openWindows;

std::uint32_t WindowIdOf(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_WINDOWEVENT:
        return event.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return event.key.windowID;
    case SDL_TEXTINPUT:
        return event.text.windowID;
    case SDL_MOUSEMOTION:
        return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.windowID;
    case SDL_MOUSEWHEEL:
        return event.wheel.windowID;
    case SDL_DROPBEGIN:
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
    case SDL_DROPCOMPLETE:
        return event.drop.windowID;
    default:
        return 0;
    }
}
} // namespace

std::unique_ptr<SdlWindow> SdlWindow::Open(const WindowDesc& desc, std::string& error)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
        error = SDL_GetError();
        return nullptr;
    }
    // Made for OpenGL, so that the graphics device can draw on it; a video driver without OpenGL still
    // gets a window (the device then draws offscreen). Resizable, which is what lets a window manager
    // offer to maximise it: maximising takes the game to full screen.
    SDL_Window* window = nullptr;
    for (const Uint32 flags : {Uint32{SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_OPENGL},
                               Uint32{SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE}})
        if (!window)
            window = SDL_CreateWindow(desc.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                      static_cast<int>(desc.width), static_cast<int>(desc.height), flags);
    if (!window)
    {
        error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return std::unique_ptr<SdlWindow>(new SdlWindow(desc, window));
}

std::optional<PixelSize> SdlWindow::DesktopSize()
{
    // Video stays up once asked: the main window opens right after, and starting video again would
    // connect to the display a second time (tens of milliseconds).
    static const bool videoReady = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    SDL_DisplayMode mode{};
    if (!videoReady || SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0)
        return std::nullopt;
    return PixelSize{static_cast<std::uint32_t>(mode.w), static_cast<std::uint32_t>(mode.h)};
}

SdlWindow::SdlWindow(const WindowDesc& desc, SDL_Window* window) : Window(desc), m_window(window)
{
    g_openWindows.push_back(this);
}

SdlWindow::~SdlWindow()
{
    DestroyNative();
}

std::uint64_t SdlWindow::NativeId() const
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!m_window || !SDL_GetWindowWMInfo(m_window, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    return static_cast<std::uint64_t>(info.info.x11.window);
}

void SdlWindow::SetModeNative(const WindowMode& mode)
{
    if (!mode.fullScreen)
    {
        SDL_SetWindowFullscreen(m_window, 0);
        // A window maximised on its way to full screen would come back maximised, which asks for full
        // screen again.
        if (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MAXIMIZED)
            SDL_RestoreWindow(m_window);
        SDL_SetWindowSize(m_window, static_cast<int>(mode.width), static_cast<int>(mode.height));
        if (mode.x >= 0 && mode.y >= 0)
            SDL_SetWindowPosition(m_window, mode.x, mode.y);
        return;
    }
    const auto wantedWidth = static_cast<int>(mode.width);
    const auto wantedHeight = static_cast<int>(mode.height);
    // The desktop's own size needs no mode change; any other size asks the display for that mode.
    const std::optional<PixelSize> desktop = DesktopSize();
    if (desktop && desktop->width == mode.width && desktop->height == mode.height)
    {
        // Placed over the whole desktop first: without a window manager to honour the full-screen
        // request, that is what full screen is.
        SDL_SetWindowPosition(m_window, 0, 0);
        SDL_SetWindowSize(m_window, wantedWidth, wantedHeight);
        SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    SDL_DisplayMode wanted{};
    wanted.w = wantedWidth;
    wanted.h = wantedHeight;
    SDL_DisplayMode closest{};
    if (SDL_GetClosestDisplayMode(0, &wanted, &closest))
        SDL_SetWindowDisplayMode(m_window, &closest);
    SDL_SetWindowSize(m_window, wanted.w, wanted.h);
    SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN);
}

void SdlWindow::ShowNative()
{
    SDL_ShowWindow(m_window);
    SDL_RaiseWindow(m_window);
}

void SdlWindow::DestroyNative()
{
    if (!m_window)
        return;
    std::erase(g_openWindows, this);
    SDL_DestroyWindow(m_window);
    m_window = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlWindow::TakeEvent(const SDL_Event& event)
{
    SdlWindowFacts facts;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(m_window, &width, &height);
    facts.width = static_cast<std::uint32_t>(std::max(width, 0));
    facts.height = static_cast<std::uint32_t>(std::max(height, 0));
    const std::uint32_t flags = SDL_GetWindowFlags(m_window);
    facts.minimized = (flags & SDL_WINDOW_MINIMIZED) != 0;
    facts.maximized = (flags & SDL_WINDOW_MAXIMIZED) != 0;
    if (!facts.minimized)
        SetClientSize(facts.width, facts.height);

    std::vector<WindowMessage> messages;
    m_translator.Translate(event, facts, messages);
    for (const WindowMessage& message : messages)
    {
        if (message.id != WindowMessageId::DropFiles || AcceptsFiles())
            Post(message);
    }
}

void SdlWindow::PollEvents()
{
    if (g_openWindows.empty())
        return;
    SDL_Event event;
    while (!g_openWindows.empty() && SDL_PollEvent(&event))
    {
        const std::uint32_t id = WindowIdOf(event);
        // Copied: a window may close while it takes an event.
        const std::vector<SdlWindow*> windows = g_openWindows;
        for (SdlWindow* window : windows)
        {
            if (id == 0 || SDL_GetWindowID(window->m_window) == id)
                window->TakeEvent(event);
        }
        if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT)
            SDL_free(event.drop.file);
    }
}

} // namespace Quarn::platform
