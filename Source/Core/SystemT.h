#pragma once

#include "Core/System.h"
#include "Script/LuaBindable.h"

namespace Quarn
{

// The base every system class X derives through: X's Lua binding, and the push of the system as X.
template <typename X> class SystemT : public System
{
public:
    SystemT() { GetLuaBind(); }

    static LuaBasicBind& GetLuaBind() { return LuaClassBinding<LuaBasicBind, X>(&LuaRegisterMethodsOf<X>); }
    void PushLua(lua_State* state) override { GetLuaBind().PushObject(state, static_cast<X*>(this)); }
};

} // namespace Quarn
