#include "Resources/LuaMainLib.h"
#include "Script/LuaBindable.h"
#include "Script/LuaColor.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

#include <type_traits>

namespace Quarn
{

namespace
{

// Adds one entry to the method table. Scripts call the entries with a dot, so none takes a self:
// plain functions convert their arguments from index 1 on; Lua C functions read the stack
// themselves (and run behind the exception boundary already).
template <typename Function> void AddFunction(lua_State* state, const char* name, Function function)
{
    LuaMainLib::GetLuaBind().PushMethodTable(state);
    lua_pushstring(state, name);
    if constexpr (std::is_same_v<Function, lua_CFunction>)
        lua_pushcfunction(state, function);
    else
        LuaPushFunction(state, function);
    lua_rawset(state, -3);
    lua_pop(state, 1);
}

void RegisterMainLibFunctions(lua_State* state)
{
    AddFunction(state, "RefreshResources", &LuaMainLib::RefreshResources);
    AddFunction(state, "RunFile", lua_CFunction{&LuaMainLib::RunFileFromLua});
    AddFunction(state, "DrawLine", &LuaMainLib::DrawLine);
    AddFunction(state, "Print", &LuaMainLib::Print);
    AddFunction(state, "PrintStrong", &LuaMainLib::Print);
    AddFunction(state, "Error", &LuaMainLib::Error);
    AddFunction(state, "ErrorIf", &LuaMainLib::ErrorIf);
    AddFunction(state, "DrawDebugLine", &LuaMainLib::DrawDebugLine);
    AddFunction(state, "DrawDebugArrow", &LuaMainLib::DrawDebugArrow);
    AddFunction(state, "DrawDebugRect", &LuaMainLib::DrawDebugRect);
    AddFunction(state, "DrawDebugCube", &LuaMainLib::DrawDebugCube);
    AddFunction(state, "SaveTable", lua_CFunction{&LuaMainLib::SaveTableFromLua});
    AddFunction(state, "LoadTable", lua_CFunction{&LuaMainLib::LoadTableFromLua});
    AddFunction(state, "KeysDown", &LuaMainLib::KeysDown);
    AddFunction(state, "RadToVec", &LuaMainLib::RadToVec);
    AddFunction(state, "VecToRad", &LuaMainLib::VecToRad);
    AddFunction(state, "VecToDeg", &LuaMainLib::VecToDeg);
    AddFunction(state, "RestartProgram", &LuaMainLib::RestartProgram);
    AddFunction(state, "FileNameFromPath", &LuaMainLib::FileNameFromPath);
    AddFunction(state, "Break", &LuaMainLib::Break);
    AddFunction(state, "StackDump", &LuaMainLib::StackDump);
}

} // namespace

LuaBasicBind& LuaMainLib::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, LuaMainLib>(&RegisterMainLibFunctions);
}

} // namespace Quarn
