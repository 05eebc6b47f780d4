#pragma once

#include "Script/LuaState.h"

#include <typeindex>

namespace Quarn
{

using LuaTypePusher = void (*)(lua_State* state, const void* data);

// Turns typed values known only by their type (message parameters) into Lua values. Holds rows for
// the numbers, bool, strings and the pointers of bound classes; each bound class adds its own row.
class LuaTypePushers
{
public:
    static void Add(std::type_index type, LuaTypePusher pusher);
    static bool Has(std::type_index type);
    // Pushes the value of type at data; false, with nothing pushed, when the type has no row.
    static bool Push(lua_State* state, std::type_index type, const void* data);
};

} // namespace Quarn
