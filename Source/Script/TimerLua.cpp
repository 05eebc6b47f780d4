#include "Core/Timer.h"
#include "Script/LuaBindable.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{
void RegisterTimerMethods(lua_State* state)
{
    LuaMethods<Timer>(state, LuaMethod<&Timer::GetDT>("GetDT"),
                      LuaMethod<&Timer::GetTotalTime>("GetTotalTime"),
                      LuaMethod<&Timer::DistortTime>("DistortTime"));
}
} // namespace

LuaBasicBind& Timer::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, Timer>(&RegisterTimerMethods);
}

} // namespace Quarn
