#pragma once

#include <string>

namespace Quarn::platform::gfx
{

// Starts SDL's video for OpenGL, on the offscreen driver (EGL, no display) when the run is headless.
// Video stays up for the rest of the process, so the GL driver is loaded once and never unloaded under
// a live allocation. False, with SDL's reason in error, when video cannot start.
bool StartGlVideo(std::string& error);

} // namespace Quarn::platform::gfx

namespace Quarn::platform::gfx
{

// Mesa keeps the buffers it allocates for a window the first time it is drawn into, reached in ways the
// leak checker cannot follow: for the life of this object, allocations on this thread are left out of
// leak checking (in sanitizer builds; elsewhere it does nothing).
class DriverAllocations
{
public:
    DriverAllocations();
    ~DriverAllocations();
    DriverAllocations(const DriverAllocations&) = delete;
    DriverAllocations& operator=(const DriverAllocations&) = delete;
};

} // namespace Quarn::platform::gfx
