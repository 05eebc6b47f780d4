#include "UI/WidgetLua.h"

#include "Core/Color4.h"
#include "Core/Vector4.h"

namespace Quarn
{

namespace
{

WidgetBind* g_registering = nullptr;

// Registry key of the table: object address -> set (weak keys) of every Lua object made for the object
// or for one of its parts.
const char s_objectsKey = 0;

// Pushes the set of the object's Lua objects, made when asked; false (nothing pushed) when there is none.
bool PushObjectSet(lua_State* state, const void* object, bool make)
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
        // Keys are weak: a Lua object no script holds any more is collected and leaves the set.
        lua_newtable(state);
        lua_newtable(state);
        lua_pushliteral(state, "k");
        lua_setfield(state, -2, "__mode");
        lua_setmetatable(state, -2);
        lua_pushlightuserdata(state, const_cast<void*>(object));
        lua_pushvalue(state, -2);
        lua_rawset(state, -4);
    }
    lua_remove(state, -2);
    return true;
}

// Adds the Lua object at index to the object's set.
void Remember(lua_State* state, int index, const void* object)
{
    index = lua_gettop(state) + index + 1;
    PushObjectSet(state, object, true);
    lua_pushvalue(state, index);
    lua_pushboolean(state, 1);
    lua_rawset(state, -3);
    lua_pop(state, 1);
}

void ForgetObjectSet(lua_State* state, const void* object)
{
    lua_pushlightuserdata(state, const_cast<char*>(&s_objectsKey));
    lua_rawget(state, LUA_REGISTRYINDEX);
    if (lua_istable(state, -1))
    {
        lua_pushlightuserdata(state, const_cast<void*>(object));
        lua_pushnil(state);
        lua_rawset(state, -3);
    }
    lua_pop(state, 1);
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

void WidgetBind::Push(lua_State* state, void* object, Gui::Controls::Base* owner)
{
    // Making a Lua object allocates, and an allocation may run a script's finalizer, which may delete the
    // control (or the control the object belongs to) before its pointer is in the new object. A control
    // whose destruction has begun gets no object either.
    const bool watched = m_kind == WidgetKind::Control || owner;
    const Gui::Controls::Ref<Gui::Controls::Base> control(
        m_kind == WidgetKind::Control ? static_cast<Gui::Controls::Base*>(object) : owner);
    PushObject(state, object);
    if (!object)
        return;
    Remember(state, -1, object);
    if (owner)
        Remember(state, -1, owner);
    if (!watched || control)
        return;
    // Gone meanwhile: the object made is inert and no longer its identity, and the script gets nil.
    static_cast<LuaObjectBlock*>(lua_touserdata(state, -1))->m_object = nullptr;
    lua_pushlightuserdata(state, object);
    lua_rawget(state, LUA_REGISTRYINDEX);
    if (lua_rawequal(state, -1, -2))
    {
        lua_pushlightuserdata(state, object);
        lua_pushnil(state);
        lua_rawset(state, LUA_REGISTRYINDEX);
    }
    lua_pop(state, 2);
    lua_pushnil(state);
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
    if (PushObjectSet(state, object, false))
    {
        // Every Lua object made for the object or a part of it: each part's identity and set go too.
        for (lua_pushnil(state); lua_next(state, -2); lua_pop(state, 1))
        {
            if (!WidgetBind::Of(state, -2))
                continue;
            auto* block = static_cast<LuaObjectBlock*>(lua_touserdata(state, -2));
            if (block->m_object && block->m_object != object)
            {
                ReleaseLuaIdentity(block->m_object);
                ForgetObjectSet(state, block->m_object);
            }
            block->m_object = nullptr;
        }
        lua_pop(state, 1);
        ForgetObjectSet(state, object);
    }
    ReleaseLuaIdentity(object);
}

void* ReadWidgetObject(lua_State* state, int index, WidgetKind kind, const char* expected)
{
    const WidgetBind* bind = WidgetBind::Of(state, index);
    if (!bind || bind->Kind() != kind)
        LuaArgumentError(state, index, expected);
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

int ClampToGeometry(double value, double low)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(value), low, kGeometryLimit));
}

void LuaConverter<ControlEvent>::Push(lua_State* state, const ControlEvent& event)
{
    BindOf<Gui::Event::Caller>().Push(state, event.caller, event.control);
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
    // x, y, z, w are top, bottom, left, right; paddings are sizes.
    return Gui::Padding(ClampToGeometry(v.z, 0.0), ClampToGeometry(v.x, 0.0), ClampToGeometry(v.w, 0.0),
                        ClampToGeometry(v.y, 0.0));
}

void LuaConverter<Gui::Padding>::Push(lua_State* state, const Gui::Padding& padding)
{
    LuaPushVector4(state, Vector4(static_cast<float>(padding.top), static_cast<float>(padding.bottom),
                                  static_cast<float>(padding.left), static_cast<float>(padding.right)));
}

Gui::Margin LuaConverter<Gui::Margin>::Read(lua_State* state, int index)
{
    const Vector4& v = LuaCheckVector(state, index);
    // Margins may be negative.
    return Gui::Margin(ClampToGeometry(v.z, -kGeometryLimit), ClampToGeometry(v.x, -kGeometryLimit),
                       ClampToGeometry(v.w, -kGeometryLimit), ClampToGeometry(v.y, -kGeometryLimit));
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
