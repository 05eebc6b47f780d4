#pragma once

#include "Script/LuaState.h"

#include <cstddef>
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
    // Frees an object that belongs to its userdata (a value, a handle record).
    using Collector = void (*)(void* object);

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

    // The objects of this class belong to their userdata: collector frees each one when Lua collects
    // its userdata. Set by the registration callback; classes whose objects the engine owns have none.
    // The class's "__gc" is the framework's own: a script may call it by hand, with a value of any
    // class and as often as it likes, and still only a userdata of this class that holds its object
    // lets go of it, once, before the collector frees it.
    void SetCollector(Collector collector) { m_collector = collector; }

    // Lua frees memory: blocks made while their state was closing that lie in it give their objects to
    // their collectors. Lua runs no "__gc" for userdata that finalizers make while the state closes.
    static void CollectBlocksMadeWhileClosing(const void* memory, std::size_t size);
    // Forgets the blocks made while the state closed; called once it is closed.
    static void ForgetBlocksMadeWhileClosing();

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
    // The "__gc" of every class; upvalue 1 is the binding.
    static int CollectUserdata(lua_State* state);
    // Hands the block's object, if it still holds one, to its class's collector.
    static void Collect(LuaObjectBlock& block);

    // Registry keys: the addresses of these bytes.
    char m_keys[kKeyCount] = {};
    RegisterCallback m_callback;
    Collector m_collector = nullptr;
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
