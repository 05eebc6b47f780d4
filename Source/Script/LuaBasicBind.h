#pragma once

#include "Script/LuaBindBase.h"

namespace Quarn
{

// Binding of an engine-owned class. Each object has one Lua identity: a userdata holding the
// object's pointer, kept at registry[light userdata of the object] so that every push of the object
// yields the same userdata. The owner releases the identity when the object dies.
class LuaBasicBind : public LuaBindBase
{
public:
    using LuaBindBase::LuaBindBase;

    // Pushes the identity of object (nil for null). A stored identity of another class (the address
    // now holds an object of another class) is replaced by a new one.
    void PushObject(lua_State* state, void* object);
    // Forgets the identity of object; the old userdata no longer reaches the object.
    virtual void Release(lua_State* state, const void* object);

    // The object held by the userdata at index, or null when the value is not an object of this class
    // or its identity was released.
    void* ToObject(lua_State* state, int index);

protected:
    void Register(lua_State* state) override;
    // Makes the identity of object and leaves it on the stack.
    virtual void Create(lua_State* state, void* object);
};

} // namespace Quarn
