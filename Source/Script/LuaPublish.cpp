#include "Script/LuaPolymorphicBase.h"
#include "Script/LuaRef.h"
#include "Script/LuaState.h"

namespace Quarn
{

void LuaPublishGlobal(const char* name, LuaPolymorphicBase* object)
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    LuaRef globals;
    globals.SetGlobals();
    if (object)
        object->PushLua(state);
    else
        lua_pushnil(state);
    globals.SetField(name);
}

} // namespace Quarn
