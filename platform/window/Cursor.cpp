#include "platform/window/Cursor.h"

#include "platform/core/Headless.h"

#include <SDL.h>

namespace Quarn::platform
{

void ShowCursor(bool show)
{
    if (!IsHeadless() && SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

} // namespace Quarn::platform
