#pragma once

#include <string>

namespace Quarn
{

class ResourceManager;

// Runs script resources by name in the current Lua state.
class LuaRunner
{
public:
    // Runs the "lua" file of the resource name. The script's results stay on the Lua stack and their
    // number is returned; 0 after a report (no such resource, no lua file, or the script failed to
    // load or run). Reports raised while the script runs count as inside a Lua call, so they restart
    // the game; so do these reports when a Lua call is running already.
    static int RunFile(const std::string& name, ResourceManager& resources);
};

} // namespace Quarn
