#include "Resources/SerializeableTable.h"

#include "Resources/LuaType.h"
#include "Resources/Serializer.h"
#include "Script/LuaState.h"

namespace Quarn
{

SerializeableTable::SerializeableTable(int index)
{
    m_table.SetFromStack(index);
}

bool SerializeableTable::Serialize(Serializer& s)
{
    if (!s.Exists("unused"))
        return false;
    lua_State* state = CurrentLuaState();
    s.BeginGroup("unused");
    m_table.Push();
    m_complete = lua_istable(state, -1) && SerializeLuaTableItems(state, lua_gettop(state), s);
    lua_pop(state, 1);
    s.EndGroup();
    return true;
}

} // namespace Quarn
