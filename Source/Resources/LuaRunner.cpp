#include "Resources/LuaRunner.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/ResourceManager.h"
#include "Resources/ResourceNode.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaOutput.h"
#include "Script/LuaState.h"

namespace Quarn
{

int LuaRunner::RunFile(const std::string& name, ResourceManager& resources)
{
    ResourceNode* file = nullptr;
    if (!resources.GetPathsByName(name, file))
    {
        QUARN_ASSERT_FAILED_AS("!rmngr.GetPathsByName( name, &file )", "Failed to find any file named \"%s\"",
                               name.c_str());
        return 0;
    }
    if (!file->Filter("lua", file))
    {
        QUARN_ASSERT_FAILED_AS("!file->Filter(\"lua\",&file)", "Failed to find lua file \"%s.lua\"",
                               name.c_str());
        return 0;
    }
    lua_State* state = CurrentLuaState();
    if (!state)
        return 0;

    lua_getglobal(state, "C_ErrorFunc");
    const int handler = lua_gettop(state);
    int status;
    {
        LuaCallDepthScope inLua;
        status = luaL_loadfile(state, file->Path().c_str());
        if (status == 0)
            status = LuaProtectedCall(state, 0, LUA_MULTRET, handler);
    }
    if (status != 0)
    {
        const std::string error = FormatLuaError();
        lua_settop(state, handler - 1);
        QUARN_ASSERT_FAILED_AS("err != 0", "Failed to run lua file '%s'\n\n%s\n\n", file->Path().c_str(),
                               error.c_str());
        return 0;
    }
    lua_remove(state, handler);
    return lua_gettop(state) - (handler - 1);
}

} // namespace Quarn
