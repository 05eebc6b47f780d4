#pragma once

#include "Script/LuaState.h"

#include <string>
#include <typeinfo>

namespace Quarn
{

class LuaBindBase;

// The block of every userdata of a bound class: the object, and the class that made it, so that a
// method checks its self with one comparison.
struct LuaObjectBlock
{
    void* m_object;
    const LuaBindBase* m_class;
};

// The block a bound method last found to be a valid self: calls on the same object skip the full
// check. Lua's collection of a block clears it, so the address never stands for another userdata.
inline const void* g_checkedLuaBlock = nullptr;

// The block of the full userdata at index, or null for any other value.
inline const LuaObjectBlock* LuaToBlock(lua_State* state, int index)
{
    if (lua_type(state, index) != LUA_TUSERDATA || lua_objlen(state, index) != sizeof(LuaObjectBlock))
        return nullptr;
    return static_cast<const LuaObjectBlock*>(lua_touserdata(state, index));
}

// The Lua side of one bound class: its metatable and method table. Both live in the registry of the
// running state under light-userdata keys inside this object, so a new state (a warm reset) has
// none and the class registers itself again on its next use. One binding object exists per class.
class LuaBindBase
{
public:
    // Fills the method table of the class (its list of methods) while the class registers.
    using RegisterCallback = void (*)(lua_State* state);

    LuaBindBase(const std::type_info& type, RegisterCallback callback);
    virtual ~LuaBindBase() = default;
    LuaBindBase(const LuaBindBase&) = delete;
    LuaBindBase& operator=(const LuaBindBase&) = delete;

    // The class's tables exist in the registry of state.
    bool IsRegistered(lua_State* state) const;
    void EnsureRegistered(lua_State* state)
    {
        if (!IsRegistered(state))
            Register(state);
    }

    // Both make sure the class is registered.
    void PushMetatable(lua_State* state);
    void PushMethodTable(lua_State* state);

    // The value at index is a userdata of this class.
    bool IsInstance(lua_State* state, int index) const
    {
        const LuaObjectBlock* block = LuaToBlock(state, index);
        return block && block->m_class == this;
    }

    // Pushes a new userdata of this class holding object (identities and values alike).
    LuaObjectBlock& PushBlock(lua_State* state, void* object);

    // The class name scripts see in error messages ("Timer").
    const std::string& ClassName() const { return m_className; }

    // Whether bound methods of this class count as a Lua call while they run, so that a report inside
    // one restarts the game. On by default.
    bool RaisesLuaCallDepth() const { return m_raisesLuaCallDepth; }
    void SetRaisesLuaCallDepth(bool raises) { m_raisesLuaCallDepth = raises; }

protected:
    // Creates the tables and fills them; derived bindings add their own metamethods.
    virtual void Register(lua_State* state);

private:
    enum Key
    {
        kRegisteredKey,
        kMetatableKey,
        kMethodTableKey,
        kKeyCount
    };

    void PushKey(lua_State* state, Key key) const;

    // Registry keys: the addresses of these bytes.
    char m_keys[kKeyCount] = {};
    RegisterCallback m_callback;
    std::string m_className;
    bool m_raisesLuaCallDepth = true;
};

// The object held by the userdata of a bound class at index; null for any other value.
inline void* LuaToObject(lua_State* state, int index)
{
    const LuaObjectBlock* block = LuaToBlock(state, index);
    return block ? block->m_object : nullptr;
}

} // namespace Quarn
