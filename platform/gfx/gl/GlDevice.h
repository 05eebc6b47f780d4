#pragma once

#include "platform/gfx/Device.h"

#include <memory>
#include <string>

namespace Quarn::platform::gfx
{

// The device over OpenGL 4.5 core (through libepoxy) on an SDL GL context of its own. The back buffer is
// an offscreen framebuffer, blitted to the context's window at Present, so that readback and Reset work
// alike whatever shows the window. Clip control puts the origin at the upper-left corner with a 0..1
// depth range: viewports, rectangles and rows count from the top, as the engine's pixel rules do.
// Null when no context can be made, with the reason in error.
std::unique_ptr<Device> CreateGlDevice(const PresentParameters& parameters, std::string& error);

} // namespace Quarn::platform::gfx
