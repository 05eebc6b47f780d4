#include "Core/Timer.h"
#include "Script/LuaBindable.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{
void RegisterTimerMethods(lua_State* state)
{
    LuaMethods<Timer>(state, &Timer::GetDT, "GetDT", &Timer::GetTotalTime, "GetTotalTime",
                      &Timer::DistortTime, "DistortTime");
}
} // namespace

LuaBasicBind& Timer::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, Timer>(&RegisterTimerMethods);
}

} // namespace Quarn
