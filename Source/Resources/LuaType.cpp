#include "Resources/LuaType.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/Serializer.h"
#include "Script/LuaState.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace Quarn
{

namespace
{

// Stack slots one level of a table walk needs: the table's copy, a key and a value, and room for the
// serializer's own pushes.
constexpr int kSlotsPerLevel = 6;

int Absolute(lua_State* state, int index)
{
    return index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(state) + index + 1;
}

// Reports a value of a kind that cannot be stored; false for every kind that can.
bool ReportUnstorable(int type)
{
    switch (type)
    {
    case LUA_TNIL:
    case LUA_TBOOLEAN:
    case LUA_TNUMBER:
    case LUA_TSTRING:
    case LUA_TTABLE:
        return false;
    case LUA_TFUNCTION:
        QUARN_REPORT("Unable to serialize functions, you must have a put functionsinto a table that is "
                     "serialized to xml or binary!!!");
        break;
    case LUA_TUSERDATA:
        QUARN_REPORT("Unable to serialize user data, you must have a put user datainto a table that is "
                     "serialized to xml or binary!!!");
        break;
    case LUA_TTHREAD:
        QUARN_REPORT("Unable to serialize threads, you must have a put threadsinto a table that is "
                     "serialized to xml or binary!!!");
        break;
    case LUA_TLIGHTUSERDATA:
        QUARN_REPORT("Unable to serialize LightUserData, you must have a put LightUserDatainto a table that "
                     "is serialized to xml or binary!!!");
        break;
    default:
        QUARN_REPORT("Unrecognized lua type attempted to serialize!");
        break;
    }
    return true;
}

// Checks for room for one more level of tables, on the Lua stack and within the nesting bound.
bool RoomForLevel(lua_State* state, int depth)
{
    if (depth < LuaType::kMaxNesting && lua_checkstack(state, kSlotsPerLevel))
        return true;
    QUARN_REPORT("Unable to serialize tables nested more than %d deep!", LuaType::kMaxNesting);
    return false;
}

class TableWalk
{
public:
    explicit TableWalk(lua_State* state) : m_state(state) {}

    bool Check(int index, int depth)
    {
        const int type = lua_type(m_state, index);
        if (ReportUnstorable(type))
            return false;
        if (type != LUA_TTABLE)
            return true;
        const void* table = lua_topointer(m_state, index);
        for (const void* open : m_open)
        {
            if (open == table)
            {
                QUARN_REPORT("Unable to serialize a table that contains itself!");
                return false;
            }
        }
        if (!RoomForLevel(m_state, depth))
            return false;
        m_open.push_back(table);
        bool storable = true;
        lua_pushnil(m_state);
        while (lua_next(m_state, index) != 0)
        {
            const int top = lua_gettop(m_state);
            storable = Check(top - 1, depth + 1) && Check(top, depth + 1);
            lua_pop(m_state, 1);
            if (!storable)
            {
                lua_pop(m_state, 1);
                break;
            }
        }
        m_open.pop_back();
        return storable;
    }

    bool Write(int index, Serializer& s, int depth);
    bool Read(int index, Serializer& s, int depth);
    bool Items(int tableIndex, Serializer& s, int depth);
    bool Item(int keyIndex, int valueIndex, Serializer& s, int depth);

private:
    lua_State* m_state;
    // Tables on the path from the outermost one to the one being checked.
    std::vector<const void*> m_open;
};

template <class T> void SerializeGroup(Serializer& s, const char* name, T& value)
{
    if (!s.Exists(name))
        return;
    s.BeginGroup(name);
    s.Serialize(value);
    s.EndGroup();
}

bool TableWalk::Write(int index, Serializer& s, int depth)
{
    std::int32_t type = lua_type(m_state, index);
    if (ReportUnstorable(type))
        return false;
    SerializeGroup(s, "Type", type);
    switch (type)
    {
    case LUA_TBOOLEAN:
    {
        bool value = lua_toboolean(m_state, index) != 0;
        SerializeGroup(s, "Value", value);
        return true;
    }
    case LUA_TNUMBER:
    {
        double value = lua_tonumber(m_state, index);
        SerializeGroup(s, "Value", value);
        return true;
    }
    case LUA_TSTRING:
    {
        std::size_t length = 0;
        const char* text = lua_tolstring(m_state, index, &length);
        std::string value(text, length);
        SerializeGroup(s, "Value", value);
        return true;
    }
    case LUA_TTABLE:
    {
        if (!s.Exists("Value"))
            return true;
        s.BeginGroup("Value");
        const bool written = Items(index, s, depth + 1);
        s.EndGroup();
        return written;
    }
    default:
        return true;
    }
}

bool TableWalk::Read(int index, Serializer& s, int depth)
{
    std::int32_t type = LUA_TNIL;
    SerializeGroup(s, "Type", type);
    switch (type)
    {
    case LUA_TBOOLEAN:
    {
        bool value = false;
        SerializeGroup(s, "Value", value);
        lua_pushboolean(m_state, value);
        break;
    }
    case LUA_TNUMBER:
    {
        double value = 0.0;
        SerializeGroup(s, "Value", value);
        lua_pushnumber(m_state, value);
        break;
    }
    case LUA_TSTRING:
    {
        std::string value;
        SerializeGroup(s, "Value", value);
        lua_pushlstring(m_state, value.data(), value.size());
        break;
    }
    case LUA_TTABLE:
    {
        lua_newtable(m_state);
        if (s.Exists("Value"))
        {
            s.BeginGroup("Value");
            const bool read = Items(lua_gettop(m_state), s, depth + 1);
            s.EndGroup();
            if (!read)
            {
                lua_pop(m_state, 1);
                return false;
            }
        }
        break;
    }
    case LUA_TNIL:
        lua_pushnil(m_state);
        break;
    default:
        // No writer produces other codes; the value of a damaged file reads as nil.
        OutputHandler::Get().Log("Lua value of unknown type %d read as nil", static_cast<int>(type));
        lua_pushnil(m_state);
        break;
    }
    lua_replace(m_state, index);
    return true;
}

bool TableWalk::Item(int keyIndex, int valueIndex, Serializer& s, int depth)
{
    bool done = true;
    for (const auto& [name, index] : {std::pair{"Key", keyIndex}, std::pair{"Value", valueIndex}})
    {
        if (!done || !s.Exists(name))
            continue;
        const char* group = name;
        s.BeginGroup(group);
        done = s.IsOutput() ? Write(index, s, depth) : Read(index, s, depth);
        s.EndGroup();
    }
    return done;
}

bool TableWalk::Items(int tableIndex, Serializer& s, int depth)
{
    if (!RoomForLevel(m_state, depth))
        return false;
    if (s.IsOutput())
    {
        lua_pushnil(m_state);
        while (lua_next(m_state, tableIndex) != 0)
        {
            const int top = lua_gettop(m_state);
            bool written = true;
            if (s.Exists("Item"))
            {
                s.BeginGroup("Item");
                written = Item(top - 1, top, s, depth);
                s.EndGroup();
            }
            lua_pop(m_state, 1);
            if (!written)
            {
                lua_pop(m_state, 1);
                return false;
            }
        }
        return true;
    }

    lua_pushnil(m_state);
    lua_pushnil(m_state);
    const int key = lua_gettop(m_state) - 1;
    const int value = key + 1;
    std::uint32_t count = 0;
    s.SequenceSize(count, "Item");
    bool read = true;
    for (std::uint32_t i = 0; i < count && read; ++i)
    {
        if (!s.Exists("Item"))
            continue;
        // Each entry starts from nil, so one without a key is dropped rather than stored under the key
        // of the entry before it.
        lua_pushnil(m_state);
        lua_replace(m_state, key);
        lua_pushnil(m_state);
        lua_replace(m_state, value);
        s.BeginGroup("Item");
        read = Item(key, value, s, depth);
        s.EndGroup();
        const bool usableKey = !lua_isnil(m_state, key) && !(lua_type(m_state, key) == LUA_TNUMBER &&
                                                             std::isnan(lua_tonumber(m_state, key)));
        if (read && usableKey)
        {
            lua_pushvalue(m_state, key);
            lua_pushvalue(m_state, value);
            lua_rawset(m_state, tableIndex);
        }
    }
    lua_pop(m_state, 2);
    return read;
}

} // namespace

bool LuaType::Serialize(lua_State* state, int index, Serializer& s)
{
    if (!lua_checkstack(state, kSlotsPerLevel))
        return false;
    TableWalk walk(state);
    index = Absolute(state, index);
    return s.IsOutput() ? walk.Write(index, s, 0) : walk.Read(index, s, 0);
}

bool LuaType::CanSerialize(lua_State* state, int index)
{
    TableWalk walk(state);
    return walk.Check(Absolute(state, index), 0);
}

bool SerializeLuaTableItem(lua_State* state, int keyIndex, int valueIndex, Serializer& s)
{
    if (!lua_checkstack(state, kSlotsPerLevel))
        return false;
    TableWalk walk(state);
    return walk.Item(Absolute(state, keyIndex), Absolute(state, valueIndex), s, 0);
}

bool SerializeLuaTableItems(lua_State* state, int tableIndex, Serializer& s)
{
    TableWalk walk(state);
    return walk.Items(Absolute(state, tableIndex), s, 0);
}

} // namespace Quarn
