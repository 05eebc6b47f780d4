// Creating and destroying game objects from a three-component prototype (Transform, ScriptInfo,
// DrawObject) with the game's Lua state open: from C++ among 100, 1,000 and 10,000 other live objects
// (the cost per object should not grow with the live count), and from a Lua loop through "goManager",
// where every object is handed to the script. items_per_second counts objects created and destroyed.
#include "Audio/Audio.h"
#include "Core/SystemManager.h"
#include "GameObjects/GameObjectLua.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "Graphics/Graphics.h"
#include "Physics/Physics.h"
#include "ScratchRunFolder.h"
#include "Script/LuaManager.h"
#include "Script/LuaState.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace
{

using namespace Quarn;

constexpr int kObjectsPerRun = 1000;

// The engine's services in a run folder of its own, with the prototype in its source resources.
class Engine
{
public:
    Engine()
    {
        m_folder.WriteSource("Trio.xml",
                             "<?xml version=\"1.0\" "
                             "?>\n<root><Object><Transform/><ScriptInfo/><DrawObject/></Object></root>\n");
        m_systems = std::make_unique<SystemManager>();
        Physics::RegisterComponentTypes();
        Gameplay::RegisterComponentTypes();
        Audio::RegisterComponentTypes();
        Graphics::RegisterComponentTypes();
    }

    ~Engine() { m_systems.reset(); }

    GameObjectManager& Objects() { return m_systems->GetGameObjectManager(); }

private:
    ScratchRunFolder m_folder{"quarn_bench_objects"};
    std::unique_ptr<SystemManager> m_systems;
};

void FromCpp(benchmark::State& state)
{
    Engine engine;
    LuaManager lua;
    lua.CreateState();
    GameObjectManager& objects = engine.Objects();
    for (std::int64_t i = 0; i < state.range(0); ++i)
        objects.CreateGameObject("Trio");
    std::vector<GameObjectHandle> handles(kObjectsPerRun);
    for (auto _ : state)
    {
        for (GameObjectHandle& handle : handles)
            handle = objects.CreateGameObject("Trio")->GetHandle();
        for (const GameObjectHandle& handle : handles)
            objects.Destroy(handle);
        objects.FrameEnd();
    }
    state.SetItemsProcessed(state.iterations() * kObjectsPerRun);
    CloseLuaState(lua.GetState());
}

void FromLua(benchmark::State& state)
{
    Engine engine;
    LuaManager manager;
    manager.CreateState();
    lua_State* lua = manager.GetState();
    LuaConverter<GameObjectManager*>::Push(lua, &engine.Objects());
    lua_setglobal(lua, "goManager");
    luaL_loadstring(lua, "local m, n = goManager, ... "
                         "for i = 1, n do m:CreateGameObject('Trio'):Destroy() end "
                         "m:FrameEnd()");
    const int chunk = lua_gettop(lua);
    for (auto _ : state)
    {
        lua_pushvalue(lua, chunk);
        lua_pushinteger(lua, kObjectsPerRun);
        if (lua_pcall(lua, 1, 0, 0) != 0)
        {
            state.SkipWithError(lua_tostring(lua, -1));
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kObjectsPerRun);
    CloseLuaState(lua);
}

} // namespace

BENCHMARK(FromCpp)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(FromLua)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
