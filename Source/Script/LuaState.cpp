#include "Script/LuaState.h"

#include "Script/LuaBindBase.h"

#include <cstdlib>
#include <utility>

namespace Quarn
{

namespace
{
lua_State* s_currentState = nullptr;
unsigned s_generation = 0;
bool s_closing = false;

void* Allocate(void*, void* memory, std::size_t oldSize, std::size_t newSize)
{
    if (newSize == 0)
    {
        if (s_closing && memory)
            LuaBindBase::CollectBlocksMadeWhileClosing(memory, oldSize);
        std::free(memory);
        return nullptr;
    }
    return std::realloc(memory, newSize);
}
} // namespace

lua_State* CurrentLuaState()
{
    return s_currentState;
}

void SetCurrentLuaState(lua_State* state)
{
    if (state != s_currentState)
        ++s_generation;
    s_currentState = state;
}

unsigned LuaStateGeneration()
{
    return s_generation;
}

void CloseLuaState(lua_State* state)
{
    if (!state)
        return;
    // References made in this state go inert before its garbage-collection handlers run.
    ++s_generation;
    const bool wasClosing = std::exchange(s_closing, true);
    lua_close(state);
    s_closing = wasClosing;
    if (!wasClosing)
        LuaBindBase::ForgetBlocksMadeWhileClosing();
    // Userdata that finalizers made were freed without a "__gc": none stays a checked self.
    g_checkedLuaBlock = nullptr;
    if (state == s_currentState)
        s_currentState = nullptr;
}

bool LuaStateClosing()
{
    return s_closing;
}

lua_State* NewLuaState()
{
    return lua_newstate(&Allocate, nullptr);
}

} // namespace Quarn
