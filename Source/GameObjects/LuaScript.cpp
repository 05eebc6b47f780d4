#include "GameObjects/LuaScript.h"

#include "Core/OutputHandler.h"
#include "GameObjects/GameObjectLua.h"
#include "Resources/ResourceNode.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaOutput.h"
#include "Script/LuaState.h"

#include <cctype>

namespace Quarn
{

void LuaScript::Create(ResourceNode& node, SystemManager&)
{
    ResourceNode* file = nullptr;
    std::string path;
    if (node.Filter("lua", file))
        path = file->Path();
    else
        QUARN_ASSERT_FAILED_AS("!node.Filter(\"lua\", &file)", "Could not find lua script file \"%s.lua\"",
                               node.Name().c_str());

    m_name = node.Name();
    if (!m_name.empty())
        m_name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(m_name[0])));

    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    const int base = lua_gettop(state);
    int status = 0;
    {
        LuaCallDepthScope inLua;
        // Without a file the empty path fails to open, which is reported as the run failure.
        status = luaL_loadfile(state, path.c_str());
        if (status == 0)
        {
            // The chunk stays beneath the results: a script that returns nothing keeps it, so each
            // object runs the whole file.
            lua_pushvalue(state, -1);
            status = LuaProtectedCall(state, 0, LUA_MULTRET, 0);
        }
    }
    // The last value on the stack is kept: the last result, the unrun chunk, or the error message.
    m_value.Set(-1);
    const std::string error = status != 0 ? FormatLuaError() : std::string();
    lua_settop(state, base);
    if (status != 0)
        QUARN_ASSERT_FAILED_AS("err != 0", "Failed to run lua file '%s'\n%s", path.c_str(), error.c_str());
}

void LuaScript::CallWith(GameObject* object) const
{
    const int handler = m_value.PushCall();
    if (handler == 0)
        return;
    LuaConverter<GameObject*>::Push(CurrentLuaState(), object);
    m_value.PCall(1, handler);
}

} // namespace Quarn
