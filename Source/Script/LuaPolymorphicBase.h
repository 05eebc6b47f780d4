#pragma once

struct lua_State;

namespace Quarn
{

// An engine object that scripts see as its most-derived bound class. Engine code that holds a base
// pointer (the frame loop's System*) pushes the object through this.
class LuaPolymorphicBase
{
public:
    virtual void PushLua(lua_State* state) = 0;

protected:
    ~LuaPolymorphicBase() = default;
};

// Markers: LuaBound tags classes with a Lua binding; EmptyStruct is the base of bound classes that
// need no other base.
struct LuaBound
{
};

struct EmptyStruct
{
};

// Forgets the Lua identity of object in the current state: its userdata no longer reaches the object
// and the next push makes a fresh one. Owners call it when the object dies; without a state it does
// nothing.
void ReleaseLuaIdentity(const void* object);

// Sets the global name of the current state to object pushed as its most-derived class (nil for
// null); without a state it does nothing.
void LuaPublishGlobal(const char* name, LuaPolymorphicBase* object);

} // namespace Quarn
