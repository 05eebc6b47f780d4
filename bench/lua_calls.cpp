// A script calling a bound method (the timer's "GetDT") in a loop, beside the same loop calling a
// hand-written lua_CFunction that reads the timer from its userdata and pushes the same number.
// Goal: the bound method within 1.1x of the hand-written function; the ratio of the medians of five
// runs each is printed after the runs.
#include "Core/Timer.h"
#include "RatioReporter.h"
#include "Script/LuaConvert.h"
#include "Script/LuaState.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace
{

using Quarn::Timer;

constexpr int kCallsPerRun = 10000;

int HandWrittenGetDT(lua_State* state)
{
    const auto* timer = *static_cast<Timer* const*>(lua_touserdata(state, 1));
    lua_pushnumber(state, timer->GetDT());
    return 1;
}

// Runs "for i = 1, n do t:GetDT() end" with t bound through pushTimer.
template <typename PushTimer> void RunLoop(benchmark::State& state, PushTimer pushTimer)
{
    lua_State* lua = luaL_newstate();
    Quarn::SetCurrentLuaState(lua);
    luaL_openlibs(lua);
    Timer timer;
    timer.SetDT(0.016f);
    pushTimer(lua, &timer);
    lua_setglobal(lua, "t");
    const char* code =
        "local t, n = t, ... local sum = 0 for i = 1, n do sum = sum + t:GetDT() end return sum";
    luaL_loadstring(lua, code);
    const int chunk = lua_gettop(lua);
    for (auto _ : state)
    {
        lua_pushvalue(lua, chunk);
        lua_pushinteger(lua, kCallsPerRun);
        if (lua_pcall(lua, 1, 1, 0) != 0)
        {
            state.SkipWithError(lua_tostring(lua, -1));
            break;
        }
        benchmark::DoNotOptimize(lua_tonumber(lua, -1));
        lua_pop(lua, 1);
    }
    state.SetItemsProcessed(state.iterations() * kCallsPerRun);
    Quarn::CloseLuaState(lua);
}

void BoundMethod(benchmark::State& state)
{
    RunLoop(state, [](lua_State* lua, Timer* timer) { Quarn::LuaConverter<Timer*>::Push(lua, timer); });
}

void HandWrittenFunction(benchmark::State& state)
{
    RunLoop(state,
            [](lua_State* lua, Timer* timer)
            {
                *static_cast<Timer**>(lua_newuserdata(lua, sizeof(Timer*))) = timer;
                lua_newtable(lua);
                lua_newtable(lua);
                lua_pushcfunction(lua, &HandWrittenGetDT);
                lua_setfield(lua, -2, "GetDT");
                lua_setfield(lua, -2, "__index");
                lua_setmetatable(lua, -2);
            });
}

BENCHMARK(BoundMethod)->Repetitions(5);
BENCHMARK(HandWrittenFunction)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double bound = reporter.Time("BoundMethod"), handWritten = reporter.Time("HandWrittenFunction");
    if (bound > 0 && handWritten > 0)
        std::printf("bound method / hand-written function, medians = %.3f (goal: at most 1.1)\n",
                    bound / handWritten);
    benchmark::Shutdown();
    return 0;
}
