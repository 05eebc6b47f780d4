#include "Script/LuaManager.h"

#include "Core/OutputHandler.h"
#include "Core/Random.h"
#include "Core/RestartGameException.h"
#include "Core/SystemManager.h"
#include "Core/TimeManager.h"
#include "Resources/LuaMainLib.h"
#include "Resources/ResourceManager.h"
#include "Script/LuaBasicBind.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaConvert.h"
#include "Script/LuaMethods.h"
#include "Script/LuaOutput.h"
#include "Script/LuaPolymorphicBase.h"
#include "Script/LuaRef.h"

namespace Quarn
{

namespace
{

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

LuaManager::LuaManager() : m_mainLib(std::make_unique<LuaMainLib>()) {}

LuaManager::~LuaManager()
{
    if (m_state && m_state == CurrentLuaState())
    {
        ReleaseLuaIdentity(m_mainLib.get());
        ReleaseLuaIdentity(&m_vecLib);
        ReleaseLuaIdentity(&m_colorLib);
    }
}

void LuaManager::CreateState()
{
    if (m_state)
    {
        ReportCreationFailure("m_state.m_state", __LINE__, "state was already created!");
        // The earlier state would otherwise be lost while still open.
        CloseLuaState(m_state);
        m_state = nullptr;
    }
    m_state = NewLuaState();
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
    LuaPushFunction(m_state, &RandFloat);
    globals.SetField("RandFloat");
}

void LuaManager::PublishEngineObjects(const LuaRef& globals)
{
    SystemManager* systems = SystemManager::Instance();
    LuaConverter<TimeManager*>::Push(m_state, systems ? &systems->GetTimeManager() : nullptr);
    globals.SetField("time");
    LuaMainLib::GetLuaBind().PushObject(m_state, m_mainLib.get());
    globals.SetField("qMain");
    LuaConverter<MainVecLib*>::Push(m_state, &m_vecLib);
    globals.SetField("vecs");
    LuaConverter<LuaColorLib*>::Push(m_state, &m_colorLib);
    globals.SetField("colors");
    LuaConverter<ResourceManager*>::Push(m_state, systems ? &systems->GetResourceManager() : nullptr);
    globals.SetField("resources");
    // The game-object manager has no Lua class yet.
    lua_pushnil(m_state);
    globals.SetField("goManager");
}

} // namespace Quarn
