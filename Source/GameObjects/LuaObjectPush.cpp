#include "GameObjects/LuaObjectPush.h"

#include "Script/LuaState.h"

namespace Quarn
{

// Game objects have no Lua class of their own yet; until they do, scripts receive nil for them.
void LuaPushGameObject(lua_State* state, GameObject*)
{
    lua_pushnil(state);
}

} // namespace Quarn
