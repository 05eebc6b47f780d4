#pragma once

#include "Script/LuaBindable.h"

namespace Quarn
{

// The object behind the script global "colors". Registering its class stores the named colours in
// its method table (colors.red), one shared colour object per name and Lua state, and installs the
// global colour constructors "RGBA" and "RGB".
class LuaColorLib : public LuaBasicBindable<LuaColorLib>
{
public:
    static void RegisterLuaMethods(lua_State* state);
};

} // namespace Quarn
