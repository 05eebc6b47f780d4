#include "platform/core/Debugger.h"

#include <csignal>
#include <fstream>
#include <string>

namespace Quarn::platform
{

bool IsDebuggerAttached()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
    {
        if (line.rfind("TracerPid:", 0) == 0)
            return std::stoi(line.substr(10)) != 0;
    }
    return false;
}

void BreakIfDebuggerAttached()
{
    if (IsDebuggerAttached())
        std::raise(SIGTRAP);
}

} // namespace Quarn::platform
