#pragma once

#include "Script/LuaBindable.h"

namespace Quarn
{

// The object behind the script global "vecs". It has no methods of its own: registering its class
// installs the global vector constructors "Vector4", "Vector3" and "Vector2".
class MainVecLib : public LuaBasicBindable<MainVecLib>
{
public:
    static void RegisterLuaMethods(lua_State* state);
};

} // namespace Quarn
