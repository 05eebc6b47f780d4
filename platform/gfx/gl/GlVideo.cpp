#include "platform/gfx/gl/GlVideo.h"

#include "platform/core/Headless.h"

#include <SDL.h>

namespace Quarn::platform::gfx
{

void UseOffscreenVideoWhenHeadless()
{
    if (IsHeadless())
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
}

} // namespace Quarn::platform::gfx
