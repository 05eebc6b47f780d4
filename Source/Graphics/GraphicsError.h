#pragma once

#include "platform/gfx/Types.h"

namespace Quarn
{

// The graphics error report: the message (at most 511 characters) with the failing result's name and
// description, shown and logged like every report, the Lua call stack added inside a Lua call; a
// debugger that is attached breaks, and inside a Lua call the game restarts (RestartGameException).
void GraphicsError(const char* file, int line, platform::gfx::Result result, const char* fmt, ...)
    __attribute__((format(printf, 4, 5)));

} // namespace Quarn

#define QUARN_GRAPHICS_ERROR(result, ...) ::Quarn::GraphicsError(__FILE__, __LINE__, result, __VA_ARGS__)
