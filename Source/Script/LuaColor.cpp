#include "Script/LuaColor.h"

#include "Script/LuaNamedFunctions.h"

namespace Quarn
{

namespace
{

void CollectColor(void* color)
{
    delete static_cast<Color4*>(color);
}

// The number is stored as it is: no scaling, no clamping.
template <auto Channel> int Set(lua_State* state)
{
    LuaCheckColor(state, 1).*Channel = LuaConverter<float>::Read(state, 2);
    return 0;
}

template <auto Channel> int Get(lua_State* state)
{
    lua_pushnumber(state, LuaCheckColor(state, 1).*Channel);
    return 1;
}

constexpr LuaNamedFunction kMethods[] = {
    {"SetR", Set<&Color4::r>}, {"SetG", Set<&Color4::g>}, {"SetB", Set<&Color4::b>},
    {"SetA", Set<&Color4::a>}, {"GetR", Get<&Color4::r>}, {"GetG", Get<&Color4::g>},
    {"GetB", Get<&Color4::b>}, {"GetA", Get<&Color4::a>},
};

void RegisterColorClass(lua_State* state)
{
    LuaPrimitiveBind& bind = GetColorLuaBind();
    bind.SetCollector(&CollectColor);
    bind.PushMethodTable(state);
    LuaSetFunctions(state, kMethods);
    lua_pop(state, 1);
}

} // namespace

LuaPrimitiveBind& GetColorLuaBind()
{
    static LuaPrimitiveBind bind(typeid(Color4), RegisterColorClass);
    return bind;
}

void LuaPushColor4(lua_State* state, const Color4& color)
{
    void** block = GetColorLuaBind().PushValueBlock(state);
    *block = new Color4(color);
}

void LuaPushColor(lua_State* state, RGBA color)
{
    LuaPushColor4(state, Color4::FromRGBA(color));
}

Color4& LuaCheckColor(lua_State* state, int index)
{
    void* color = GetColorLuaBind().ToValue(state, index);
    if (!color)
        LuaArgumentError(state, index, "Color");
    return *static_cast<Color4*>(color);
}

RGBA LuaToColor(lua_State* state, int index)
{
    return LuaCheckColor(state, index).ToRGBA();
}

} // namespace Quarn
