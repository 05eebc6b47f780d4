#pragma once

#include "Script/LuaColorLib.h"
#include "Script/LuaState.h"
#include "Script/MainVecLib.h"

#include <memory>

namespace Quarn
{

class LuaMainLib;
class LuaRef;

// Creates the program's Lua state and publishes the engine's script globals into it. The owner
// (Gameplay) closes the state; destroying the manager leaves it open.
class LuaManager
{
public:
    LuaManager();
    // Releases the Lua identities of its library objects while the state is still open.
    ~LuaManager();
    LuaManager(const LuaManager&) = delete;
    LuaManager& operator=(const LuaManager&) = delete;

    // Makes a new state current, with the standard libraries, the panic handler and the globals
    // "time", "qMain", "vecs", "colors", "resources", "goManager", "C_ErrorFunc" and "RandFloat".
    void CreateState();
    lua_State* GetState() const { return m_state; }

private:
    // The engine objects of the globals, each as its Lua object (nil while it has none), in order.
    void PublishEngineObjects(const LuaRef& globals);

    lua_State* m_state = nullptr;
    // Published as "qMain".
    std::unique_ptr<LuaMainLib> m_mainLib;
    // Published as "vecs" and "colors".
    MainVecLib m_vecLib;
    LuaColorLib m_colorLib;
};

// min + (max - min) * r / 32767 for the next value r of the engine's generator.
float RandFloat(float min, float max);

} // namespace Quarn
