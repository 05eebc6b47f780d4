#include "Script/LuaRef.h"

#include "LuaTestState.h"

#include <gtest/gtest.h>

#include <optional>

namespace Quarn
{
namespace
{

// The registry entry under a reference's key, as the number it holds (-1 for nil).
double RegistryNumber(const LuaRef& ref)
{
    lua_State* state = CurrentLuaState();
    lua_pushlightuserdata(state, const_cast<void*>(ref.Key()));
    lua_rawget(state, LUA_REGISTRYINDEX);
    const double value = lua_isnil(state, -1) ? -1.0 : lua_tonumber(state, -1);
    lua_pop(state, 1);
    return value;
}

double PushedNumber(const LuaRef& ref)
{
    ref.Push();
    const double value = lua_isnil(CurrentLuaState(), -1) ? -1.0 : lua_tonumber(CurrentLuaState(), -1);
    lua_pop(CurrentLuaState(), 1);
    return value;
}

TEST(LuaRefTest, CopiesHoldTheValueUnderTheirOwnKeyAndReleaseOnlyTheirOwn)
{
    test::LuaTestState lua;
    lua_State* state = lua.State();
    std::optional<LuaRef> original(std::in_place);
    lua_pushnumber(state, 7);
    lua_pushnumber(state, 8);
    original->SetFromStack(-2);
    lua_pop(state, 2);
    EXPECT_EQ(lua_gettop(state), 0);

    LuaRef copy(*original);
    LuaRef assigned;
    assigned = copy;
    EXPECT_NE(copy.Key(), original->Key());
    EXPECT_EQ(RegistryNumber(copy), 7.0);
    EXPECT_EQ(RegistryNumber(assigned), 7.0);

    const LuaRef* gone = &*original;
    const void* goneKey = gone->Key();
    original.reset();
    lua_pushlightuserdata(state, const_cast<void*>(goneKey));
    lua_rawget(state, LUA_REGISTRYINDEX);
    EXPECT_TRUE(lua_isnil(state, -1));
    lua_pop(state, 1);
    EXPECT_EQ(PushedNumber(copy), 7.0);

    copy.Release();
    EXPECT_FALSE(copy.IsSet());
    EXPECT_EQ(RegistryNumber(copy), -1.0);
    EXPECT_EQ(PushedNumber(copy), -1.0);
    // Assigning an empty reference drops the value held before.
    assigned = copy;
    EXPECT_EQ(RegistryNumber(assigned), -1.0);
    EXPECT_EQ(lua_gettop(state), 0);
}

TEST(LuaRefTest, TableFieldsAreReadAndWrittenRawAndStayBalancedOnNonTables)
{
    test::LuaTestState lua;
    lua_State* state = lua.State();
    lua.Run("setmetatable(_G, { __index = function() return 'from metatable' end })");

    LuaRef globals;
    globals.SetGlobals();
    lua_pushnumber(state, 3);
    globals.SetField("answer");
    lua_getglobal(state, "answer");
    EXPECT_EQ(lua_tonumber(state, -1), 3.0);
    lua_pop(state, 1);
    globals.PushField("missing");
    EXPECT_TRUE(lua_isnil(state, -1)) << "a raw read does not reach the metatable";
    lua_pop(state, 1);

    LuaRef table;
    table.NewTable();
    lua_pushstring(state, "x");
    table.SetField("name");
    table.PushField("name");
    EXPECT_STREQ(lua_tostring(state, -1), "x");
    lua_pop(state, 1);

    LuaRef registry;
    registry.SetRegistry();
    lua_pushboolean(state, 1);
    registry.SetField("marker");
    lua_getfield(state, LUA_REGISTRYINDEX, "marker");
    EXPECT_TRUE(lua_toboolean(state, -1));
    lua_pop(state, 1);

    LuaRef number;
    lua_pushnumber(state, 1);
    number.SetFromStack(-1);
    lua_pop(state, 1);
    number.PushField("x");
    EXPECT_TRUE(lua_isnil(state, -1));
    lua_pop(state, 1);
    lua_pushnumber(state, 2);
    number.SetField("x");
    LuaRef unset;
    unset.PushField("x");
    lua_pop(state, 1);
    lua_pushnumber(state, 2);
    unset.SetField("x");
    EXPECT_EQ(lua_gettop(state), 0);
}

TEST(LuaRefTest, ReferencesOfAClosedStateAreInertAndNeverTouchTheNewState)
{
    std::optional<test::LuaTestState> first(std::in_place);
    LuaRef value;
    lua_pushnumber(first->State(), 5);
    value.SetFromStack(-1);
    lua_pop(first->State(), 1);
    LuaRef table;
    table.NewTable();
    first.reset();

    // No state at all: nothing to touch, nothing pushed.
    EXPECT_FALSE(value.IsSet());
    value.Push();
    table.PushField("x");
    LuaRef copyWithoutState(value);
    EXPECT_FALSE(copyWithoutState.IsSet());

    // A new state, possibly at the same address: the old references still read as nothing.
    test::LuaTestState second;
    lua_State* state = second.State();
    EXPECT_EQ(lua_gettop(state), 0);
    EXPECT_FALSE(value.IsSet());
    EXPECT_EQ(PushedNumber(value), -1.0);
    table.PushField("x");
    EXPECT_TRUE(lua_isnil(state, -1));
    lua_pop(state, 1);
    lua_pushnumber(state, 1);
    table.SetField("x");
    LuaRef copy(value);
    EXPECT_FALSE(copy.IsSet());
    value.Release();
    EXPECT_EQ(lua_gettop(state), 0);

    // The old reference is usable again in the new state.
    lua_pushnumber(state, 9);
    value.SetFromStack(-1);
    lua_pop(state, 1);
    EXPECT_EQ(PushedNumber(value), 9.0);
}

} // namespace
} // namespace Quarn
