#pragma once

#include "platform/gfx/Device.h"
#include "platform/window/Window.h"

#include <memory>
#include <string>

namespace Quarn::platform::gfx
{

// The device over OpenGL 4.5 core (through libepoxy) on an SDL GL context: on the window when it is an
// SDL window made for OpenGL, else on a hidden window of the device's own (headless runs, tests). The
// back buffer is an offscreen framebuffer, blitted to the context's window at Present, so that targets,
// readback and Reset work alike whatever shows the window. Clip control puts the origin at the
// upper-left corner with a 0..1 depth range: viewports, rectangles and rows count from the top, as the
// engine's pixel rules do. Null when no context can be made, with the reason in error.
std::unique_ptr<Device> CreateGlDevice(Window* window, const PresentParameters& parameters,
                                       std::string& error);

// A window of the program's own (a headless one in headless runs) with a device drawing to it, for
// programs that draw without the engine's Graphics. Both are null when either cannot be made, with the
// reason in error.
struct GlWindow
{
    std::unique_ptr<Window> window;
    std::unique_ptr<Device> device;
};
GlWindow OpenGlWindow(const WindowDesc& desc, std::string& error);

// The adapter over SDL's video: display modes from SDL, capabilities read from a GL 4.5 core context.
// Null when SDL's video cannot start, with the reason in error.
std::unique_ptr<Adapter> CreateGlAdapter(std::string& error);

} // namespace Quarn::platform::gfx
