#include "Script/MainVecLib.h"

#include "Script/LuaNamedFunctions.h"
#include "Script/LuaVector.h"

namespace Quarn
{

namespace
{

// Missing or non-numeric arguments read as 0.
float Argument(lua_State* state, int index)
{
    return LuaConverter<float>::Read(state, index);
}

int NewVector4(lua_State* state)
{
    LuaPushVector4(state, {Argument(state, 1), Argument(state, 2), Argument(state, 3), Argument(state, 4)});
    return 1;
}

int NewVector3(lua_State* state)
{
    LuaPushVector3(state, {Argument(state, 1), Argument(state, 2), Argument(state, 3)});
    return 1;
}

int NewVector2(lua_State* state)
{
    LuaPushVector2(state, {Argument(state, 1), Argument(state, 2)});
    return 1;
}

constexpr LuaNamedFunction kConstructors[] = {
    {"Vector4", NewVector4},
    {"Vector3", NewVector3},
    {"Vector2", NewVector2},
};

} // namespace

void MainVecLib::RegisterLuaMethods(lua_State* state)
{
    lua_pushvalue(state, LUA_GLOBALSINDEX);
    LuaSetFunctions(state, kConstructors);
    lua_pop(state, 1);
}

} // namespace Quarn
