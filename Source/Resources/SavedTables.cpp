#include "Resources/SavedTables.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/LuaType.h"
#include "Resources/ResourceManager.h"
#include "Resources/SerializeableTable.h"
#include "Script/LuaState.h"

namespace Quarn
{

namespace
{

constexpr const char* kRootGroup = "LuaTable";
constexpr const char* kExtension = "xml";

} // namespace

bool SaveTable(lua_State* state, int index, const std::string& name, ResourceManager& resources)
{
    if (!lua_istable(state, index))
    {
        QUARN_REPORT("Unable to save \"%s\": a table is expected, not %s", name.c_str(),
                     luaL_typename(state, index));
        return false;
    }
    if (resources.UserDataPath(name, kExtension).empty() || !LuaType::CanSerialize(state, index))
        return false;
    SerializeableTable table(index);
    return resources.SaveUserData(name, kExtension, table, kRootGroup) && table.Complete();
}

void LoadTable(lua_State* state, const std::string& name, ResourceManager& resources)
{
    lua_newtable(state);
    if (resources.UserDataPath(name, kExtension).empty())
        return;
    SerializeableTable table(-1);
    if (resources.UserDataExists(name))
    {
        resources.LoadUserData(name, kExtension, table, kRootGroup);
        return;
    }
    lua_pushstring(state, kSavedTableMarkerValue);
    lua_setfield(state, -2, kSavedTableMarkerKey);
    resources.SaveUserData(name, kExtension, table, kRootGroup);
}

} // namespace Quarn
