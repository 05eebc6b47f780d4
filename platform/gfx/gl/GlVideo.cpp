#include "platform/gfx/gl/GlVideo.h"

#include "platform/core/Headless.h"

#include <SDL.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace Quarn::platform::gfx
{

bool StartGlVideo(std::string& error)
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    if (IsHeadless())
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
        error = std::string("SDL video could not start: ") + SDL_GetError();
        return false;
    }
    return true;
}

#if defined(__SANITIZE_ADDRESS__)
DriverAllocations::DriverAllocations()
{
    __lsan_disable();
}

DriverAllocations::~DriverAllocations()
{
    __lsan_enable();
}
#else
DriverAllocations::DriverAllocations() = default;
DriverAllocations::~DriverAllocations() = default;
#endif

} // namespace Quarn::platform::gfx
