#include "Script/LuaManager.h"

#include "Core/OutputHandler.h"
#include "Core/Random.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Core/TimeManager.h"
#include "Resources/ResourceManager.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaConvert.h"
#include "Script/LuaOutput.h"
#include "Script/LuaRef.h"

namespace Quarn
{

namespace
{

using RandFloatFunction = float (*)(float, float);

// The body of the script function "RandFloat": the generator function is upvalue 1.
int CallRandFloat(lua_State* state)
{
    const auto function = reinterpret_cast<RandFloatFunction>(
        reinterpret_cast<void (*)()>(lua_tocfunction(state, lua_upvalueindex(1))));
    const auto min = static_cast<float>(lua_tonumber(state, 1));
    const auto max = static_cast<float>(lua_tonumber(state, 2));
    lua_pushnumber(state, function(min, max));
    return 1;
}

void ReportCreationFailure(const char* expression, int line, const char* message)
{
    OutputHandler& output = OutputHandler::Get();
    const bool inLua = output.InLua();
    output.AssertFailed(expression, __FILE__, inLua, line, "%s", message);
    ThrowIfRestart(inLua);
}

} // namespace

float RandFloat(float min, float max)
{
    return static_cast<float>(min + (max - min) * static_cast<double>(EngineRand()) / 32767.0);
}

LuaManager::~LuaManager() = default;

void LuaManager::CreateState()
{
    if (m_state)
    {
        ReportCreationFailure("m_state.m_state", __LINE__, "state was already created!");
        // The earlier state would otherwise be lost while still open.
        CloseLuaState(m_state);
        m_state = nullptr;
    }
    m_state = luaL_newstate();
    if (!m_state)
    {
        ReportCreationFailure("!m_state.m_state", __LINE__, "Error initializing lua!");
        return;
    }
    SetCurrentLuaState(m_state);
    // A restart left pending by the previous state has been answered by the reset that led here.
    TakePendingLuaRestart();
    OutputHandler::SetLuaStackDumper(&DumpLuaStack);
    lua_atpanic(m_state, &LuaPanic);
    luaL_openlibs(m_state);

    LuaRef globals;
    globals.SetGlobals();
    PublishEngineObjects(globals);
    lua_pushcclosure(m_state, &C_ErrorFunc, 0);
    globals.SetField("C_ErrorFunc");
    // Kept as a C function value only to be read back with its own type by CallRandFloat.
    lua_pushcclosure(m_state, reinterpret_cast<lua_CFunction>(reinterpret_cast<void (*)()>(&RandFloat)), 0);
    lua_pushcclosure(m_state, &CallRandFloat, 1);
    globals.SetField("RandFloat");
}

void LuaManager::PublishEngineObjects(const LuaRef& globals)
{
    SystemManager* systems = SystemManager::Instance();
    LuaConverter<TimeManager*>::Push(m_state, systems ? &systems->GetTimeManager() : nullptr);
    globals.SetField("time");
    LuaConverter<ResourceManager*>::Push(m_state, systems ? &systems->GetResourceManager() : nullptr);
    globals.SetField("resources");
    // None of these objects has a Lua class yet.
    for (const char* name : {"qMain", "vecs", "colors", "goManager"})
    {
        lua_pushnil(m_state);
        globals.SetField(name);
    }
}

} // namespace Quarn
