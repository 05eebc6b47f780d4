#pragma once

namespace Quarn::platform::gfx
{

// A headless run draws with OpenGL all the same, on SDL's offscreen driver (EGL, no display); call
// before SDL's video starts.
void UseOffscreenVideoWhenHeadless();

} // namespace Quarn::platform::gfx
