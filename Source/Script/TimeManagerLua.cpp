#include "Core/SystemManager.h"
#include "Core/TimeManager.h"
#include "Script/LuaBindable.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{
// The statistics come from the system manager's last frame; without one there are no systems.
bool HasSystemRunTime(TimeManager&, unsigned index)
{
    const SystemManager* systems = SystemManager::Instance();
    return systems && systems->HasSystemRunTime(index);
}

int NumSystemRunTimes(TimeManager&)
{
    const SystemManager* systems = SystemManager::Instance();
    return systems ? systems->NumSystemRunTimes() : 0;
}

float GetSystemRunTime(TimeManager&, unsigned index)
{
    const SystemManager* systems = SystemManager::Instance();
    return systems ? systems->GetSystemRunTime(index) : 0.0f;
}

float TotalSystemRunTime(TimeManager&)
{
    const SystemManager* systems = SystemManager::Instance();
    return systems ? systems->TotalSystemRunTime() : 0.0f;
}

std::string GetSystemName(TimeManager&, unsigned index)
{
    const SystemManager* systems = SystemManager::Instance();
    return systems ? systems->GetSystemName(index) : std::string();
}

void RegisterTimeManagerMethods(lua_State* state)
{
    LuaMethods<TimeManager>(
        state, LuaMethod<&TimeManager::GetCurrentTimer>("GetCurrentTimer"),
        LuaMethod<&TimeManager::GetGameTimer>("GetGameTimer"),
        LuaMethod<&TimeManager::GetMenuTimer>("GetMenuTimer"),
        LuaMethod<&TimeManager::GetPauseTimer>("GetPauseTimer"),
        LuaMethod<&TimeManager::GetAppTimer>("GetAppTimer"), LuaMethod<&TimeManager::SetPause>("SetPause"),
        LuaMethod<&TimeManager::SetGame>("SetGame"), LuaMethod<&TimeManager::SetMenu>("SetMenu"),
        LuaMethod<&HasSystemRunTime>("HasSystemRunTime"), LuaMethod<&GetSystemRunTime>("GetSystemRunTime"),
        LuaMethod<&NumSystemRunTimes>("NumSystemRunTimes"),
        LuaMethod<&TotalSystemRunTime>("TotalSystemRunTime"), LuaMethod<&GetSystemName>("GetSystemName"));
}
} // namespace

LuaBasicBind& TimeManager::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, TimeManager>(&RegisterTimeManagerMethods);
}

} // namespace Quarn
