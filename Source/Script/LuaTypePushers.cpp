#include "Script/LuaTypePushers.h"

#include "Script/LuaColor.h"
#include "Script/LuaConvert.h"
#include "Script/LuaVector.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace Quarn
{

namespace
{
template <typename T> void PushSlot(lua_State* state, const void* data)
{
    LuaConverter<T>::Push(state, *static_cast<const T*>(data));
}

template <typename... T> void AddRows(std::unordered_map<std::type_index, LuaTypePusher>& table)
{
    (table.emplace(typeid(T), &PushSlot<T>), ...);
}

std::unordered_map<std::type_index, LuaTypePusher>& Table()
{
    static std::unordered_map<std::type_index, LuaTypePusher> table = []
    {
        std::unordered_map<std::type_index, LuaTypePusher> rows;
        AddRows<bool, char, signed char, unsigned char, short, unsigned short, int, unsigned, long,
                unsigned long, long long, unsigned long long, float, double, const char*, char*, std::string>(
            rows);
        AddRows<Vector2, Vector3, Vector4, Color4, RGBA>(rows);
        return rows;
    }();
    return table;
}
} // namespace

void LuaTypePushers::Add(std::type_index type, LuaTypePusher pusher)
{
    Table()[type] = pusher;
}

bool LuaTypePushers::Has(std::type_index type)
{
    return Table().contains(type);
}

bool LuaTypePushers::Push(lua_State* state, std::type_index type, const void* data)
{
    auto found = Table().find(type);
    if (found == Table().end())
        return false;
    found->second(state, data);
    return true;
}

} // namespace Quarn
