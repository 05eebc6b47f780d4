#include "platform/core/ErrorPresenter.h"

#include "platform/core/Headless.h"

#include <SDL.h>
#include <cstdlib>

namespace Quarn::platform
{

namespace
{
ErrorCapture g_capture;

bool HasDisplay()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}
} // namespace

void PresentError(const std::string& caption, const std::string& text)
{
    if (g_capture)
    {
        g_capture(caption, text);
        return;
    }
    if (IsHeadless() || !HasDisplay())
        return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
}

void SetErrorCapture(ErrorCapture capture)
{
    g_capture = std::move(capture);
}

} // namespace Quarn::platform
