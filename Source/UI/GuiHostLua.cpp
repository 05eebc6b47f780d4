#include "UI/GuiHost.h"

#include "Script/LuaMethods.h"
#include "Script/LuaState.h"
#include "widgets/Controls/Base.h"

#include <utility>

// The script globals of the UI host.

namespace Quarn
{

void GuiHost::PublishScriptGlobals()
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    constexpr std::pair<const char*, int> kPos[] = {
        {"None", Gui::Pos::None},       {"Left", Gui::Pos::Left},     {"Right", Gui::Pos::Right},
        {"Top", Gui::Pos::Top},         {"Bottom", Gui::Pos::Bottom}, {"CenterV", Gui::Pos::CenterV},
        {"CenterH", Gui::Pos::CenterH}, {"Fill", Gui::Pos::Fill},     {"Center", Gui::Pos::Center},
    };
    lua_newtable(state);
    for (const auto& [name, value] : kPos)
    {
        lua_pushinteger(state, value);
        lua_setfield(state, -2, name);
    }
    lua_setfield(state, LUA_GLOBALSINDEX, "Pos");
    LuaPushFunction(
        state, +[](int a, int b) { return a | b; });
    lua_setfield(state, LUA_GLOBALSINDEX, "OR");
}

} // namespace Quarn
