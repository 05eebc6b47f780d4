#include "UI/WidgetLua.h"

#include "Core/Color4.h"
#include "Core/Vector4.h"

namespace Quarn
{

namespace
{

WidgetBind* g_registering = nullptr;

// Registry key of the table: object address -> table (weak values) of every Lua object made for it.
const char s_objectsKey = 0;

constexpr const char* KindName(WidgetKind kind)
{
    switch (kind)
    {
    case WidgetKind::Control:
        return "control";
    case WidgetKind::Font:
        return "font";
    case WidgetKind::Skin:
        return "skin";
    case WidgetKind::Caller:
        return "event";
    case WidgetKind::Handler:
        return "event handler";
    case WidgetKind::Inspector:
        return "inspector";
    }
    return "widget";
}

// Pushes the table of the object's Lua objects, made when asked.
bool PushObjectList(lua_State* state, const void* object, bool make)
{
    lua_pushlightuserdata(state, const_cast<char*>(&s_objectsKey));
    lua_rawget(state, LUA_REGISTRYINDEX);
    if (lua_isnil(state, -1))
    {
        lua_pop(state, 1);
        if (!make)
            return false;
        lua_newtable(state);
        lua_pushlightuserdata(state, const_cast<char*>(&s_objectsKey));
        lua_pushvalue(state, -2);
        lua_rawset(state, LUA_REGISTRYINDEX);
    }
    lua_pushlightuserdata(state, const_cast<void*>(object));
    lua_rawget(state, -2);
    if (lua_isnil(state, -1))
    {
        lua_pop(state, 1);
        if (!make)
        {
            lua_pop(state, 1);
            return false;
        }
        lua_newtable(state);
        lua_newtable(state);
        lua_pushstring(state, "v");
        lua_setfield(state, -2, "__mode");
        lua_setmetatable(state, -2);
        lua_pushlightuserdata(state, const_cast<void*>(object));
        lua_pushvalue(state, -2);
        lua_rawset(state, -4);
    }
    lua_remove(state, -2);
    return true;
}

} // namespace

WidgetBind::WidgetBind(RegisterCallback callback, WidgetKind kind, const char* name)
    : LuaBasicBind(typeid(Gui::Controls::Base), callback), m_kind(kind), m_name(name)
{
}

void WidgetBind::Register(lua_State* state)
{
    WidgetBind* previous = g_registering;
    g_registering = this;
    LuaBasicBind::Register(state);
    g_registering = previous;
}

void WidgetBind::Push(lua_State* state, void* object)
{
    PushObject(state, object);
    if (!object)
        return;
    PushObjectList(state, object, true);
    const int count = static_cast<int>(lua_objlen(state, -1));
    for (int i = 1; i <= count; ++i)
    {
        lua_rawgeti(state, -1, i);
        const bool known = lua_rawequal(state, -1, -3);
        lua_pop(state, 1);
        if (known)
        {
            lua_pop(state, 1);
            return;
        }
    }
    lua_pushvalue(state, -2);
    lua_rawseti(state, -2, count + 1);
    lua_pop(state, 1);
}

const WidgetBind* WidgetBind::Of(lua_State* state, int index)
{
    const LuaObjectBlock* block = LuaToBlock(state, index);
    return block ? dynamic_cast<const WidgetBind*>(block->m_class) : nullptr;
}

WidgetBind& RegisteringWidgetBind()
{
    return *g_registering;
}

void ReleaseWidgetObjects(lua_State* state, const void* object)
{
    if (!state)
        return;
    if (PushObjectList(state, object, false))
    {
        const int count = static_cast<int>(lua_objlen(state, -1));
        for (int i = 1; i <= count; ++i)
        {
            lua_rawgeti(state, -1, i);
            if (WidgetBind::Of(state, -1))
                static_cast<LuaObjectBlock*>(lua_touserdata(state, -1))->m_object = nullptr;
            lua_pop(state, 1);
        }
        lua_pop(state, 1);
        lua_pushlightuserdata(state, const_cast<char*>(&s_objectsKey));
        lua_rawget(state, LUA_REGISTRYINDEX);
        lua_pushlightuserdata(state, const_cast<void*>(object));
        lua_pushnil(state);
        lua_rawset(state, -3);
        lua_pop(state, 1);
    }
    ReleaseLuaIdentity(object);
}

void* ReadWidgetObject(lua_State* state, int index, WidgetKind kind)
{
    if (lua_isnoneornil(state, index))
        return nullptr;
    const WidgetBind* bind = WidgetBind::Of(state, index);
    if (!bind || bind->Kind() != kind)
        LuaArgumentError(state, index, KindName(kind));
    return LuaToObject(state, index);
}

int LuaToClampedInt(lua_State* state, int index)
{
    const double number = lua_tonumber(state, index);
    if (std::isnan(number))
        return 0;
    return static_cast<int>(
        std::clamp(std::trunc(number), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

int ClampToInt(float value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(static_cast<double>(value)), static_cast<double>(INT_MIN),
                                       static_cast<double>(INT_MAX)));
}

namespace
{

std::uint8_t ColourByte(float channel)
{
    if (std::isnan(channel))
        return 0;
    return static_cast<std::uint8_t>(std::clamp(channel, 0.0f, 1.0f) * 255.0f);
}

} // namespace

Gui::Padding LuaConverter<Gui::Padding>::Read(lua_State* state, int index)
{
    const Vector4& v = LuaCheckVector(state, index);
    // x, y, z, w are top, bottom, left, right.
    return Gui::Padding(ClampToInt(v.z), ClampToInt(v.x), ClampToInt(v.w), ClampToInt(v.y));
}

void LuaConverter<Gui::Padding>::Push(lua_State* state, const Gui::Padding& padding)
{
    LuaPushVector4(state, Vector4(static_cast<float>(padding.top), static_cast<float>(padding.bottom),
                                  static_cast<float>(padding.left), static_cast<float>(padding.right)));
}

Gui::Margin LuaConverter<Gui::Margin>::Read(lua_State* state, int index)
{
    const Gui::Padding padding = LuaConverter<Gui::Padding>::Read(state, index);
    return Gui::Margin(padding.left, padding.top, padding.right, padding.bottom);
}

Gui::Color LuaConverter<Gui::Color>::Read(lua_State* state, int index)
{
    const Color4& c = LuaCheckColor(state, index);
    return Gui::Color(ColourByte(c.r), ColourByte(c.g), ColourByte(c.b), ColourByte(c.a));
}

void LuaConverter<Gui::Color>::Push(lua_State* state, const Gui::Color& colour)
{
    LuaPushColor4(state, Color4(colour.r / 255.0f, colour.g / 255.0f, colour.b / 255.0f, colour.a / 255.0f));
}

} // namespace Quarn
