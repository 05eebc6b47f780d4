#include "Graphics/GraphicsError.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"

#include <cstdarg>
#include <cstdio>

namespace Quarn
{

void GraphicsError(const char* file, int line, platform::gfx::Result result, const char* fmt, ...)
{
    char message[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(message, sizeof(message), fmt, args);
    va_end(args);
    OutputHandler& output = OutputHandler::Get();
    const bool inLua = output.InLua();
    output.ReportError(file, line, inLua, "%s\n%s: %s", message, result.Name(), result.Description());
    ThrowIfRestart(inLua);
}

} // namespace Quarn
