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
        state, &TimeManager::GetCurrentTimer, "GetCurrentTimer", &TimeManager::GetGameTimer, "GetGameTimer",
        &TimeManager::GetMenuTimer, "GetMenuTimer", &TimeManager::GetPauseTimer, "GetPauseTimer",
        &TimeManager::GetAppTimer, "GetAppTimer", &TimeManager::SetPause, "SetPause", &TimeManager::SetGame,
        "SetGame", &TimeManager::SetMenu, "SetMenu", &HasSystemRunTime, "HasSystemRunTime", &GetSystemRunTime,
        "GetSystemRunTime", &NumSystemRunTimes, "NumSystemRunTimes", &TotalSystemRunTime,
        "TotalSystemRunTime", &GetSystemName, "GetSystemName");
}
} // namespace

LuaBasicBind& TimeManager::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, TimeManager>(&RegisterTimeManagerMethods);
}

} // namespace Quarn
