#include "GameObjects/ComponentHandle.h"
#include "GameObjects/GameObjectLua.h"
#include "GameObjects/Movement.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<Movement>;

// Runs change on the movement; a handle whose object is gone does nothing.
template <class Change> void Modify(Handle& self, Change change)
{
    if (Movement* movement = self.Resolve())
        change(*movement);
}

// An object that is gone becomes a target that names nothing, which switches its behaviour off.
GameObjectHandle TargetOf(const GameObject* object)
{
    return object ? object->GetHandle() : GameObjectHandle();
}

void DisableAll(Handle& self)
{
    Modify(self, [](Movement& m) { m.DisableAll(); });
}

void DisableOption(Handle& self, int behavior)
{
    Modify(self, [&](Movement& m) { m.DisableOption(behavior); });
}

void EnableAll(Handle& self)
{
    Modify(self, [](Movement& m) { m.EnableAll(); });
}

void Seek(Handle& self, Vector2 point)
{
    Modify(self, [&](Movement& m) { m.Seek(point); });
}

void Flee(Handle& self, Vector2 point)
{
    Modify(self, [&](Movement& m) { m.Flee(point); });
}

void Arrive(Handle& self, Vector2 point, float deceleration)
{
    Modify(self, [&](Movement& m) { m.Arrive(point, deceleration); });
}

void Pursue(Handle& self, GameObject* object)
{
    Modify(self, [&](Movement& m) { m.Pursue(TargetOf(object)); });
}

void Evade(Handle& self, GameObject* object)
{
    Modify(self, [&](Movement& m) { m.Evade(TargetOf(object)); });
}

void Wander(Handle& self, float radius, float jitter, float distance)
{
    Modify(self, [&](Movement& m) { m.Wander(radius, jitter, distance); });
}

void Intercept(Handle& self, GameObject* first, GameObject* second)
{
    Modify(self, [&](Movement& m) { m.Intercept(TargetOf(first), TargetOf(second)); });
}

void Hide(Handle& self, GameObject* object)
{
    Modify(self, [&](Movement& m) { m.Hide(TargetOf(object)); });
}

void AvoidObstacles(Handle& self)
{
    Modify(self, [](Movement& m) { m.m_behaviors[Movement::Avoidance] = true; });
}

void Separate(Handle& self, float)
{
    Modify(self, [](Movement& m) { m.m_behaviors[Movement::Separation] = true; });
}

void SetMaxForce(Handle& self, float value)
{
    Modify(self, [&](Movement& m) { m.MaxForce = value; });
}

void SetMaxSpeed(Handle& self, float value)
{
    Modify(self, [&](Movement& m) { m.MaxSpeed = value; });
}

void SetGlobal(lua_State* state, const char* name, int value)
{
    lua_pushinteger(state, value);
    lua_setglobal(state, name);
}

} // namespace Methods
} // namespace

void Movement::RegisterLuaMethods(lua_State* state)
{
    using namespace Methods;
    LuaMethods<Handle>(
        state, LuaMethod<&Methods::DisableAll>("DisableAll"),
        LuaMethod<&Methods::DisableOption>("DisableOption"), LuaMethod<&Methods::EnableAll>("EnableAll"),
        LuaMethod<&Methods::Seek>("Seek"), LuaMethod<&Methods::Flee>("Flee"),
        LuaMethod<&Methods::Arrive>("Arrive"), LuaMethod<&Methods::Pursue>("Pursue"),
        LuaMethod<&Methods::Evade>("Evade"), LuaMethod<&Methods::Wander>("Wander"),
        LuaMethod<&Methods::Intercept>("Intercept"), LuaMethod<&Methods::Hide>("Hide"),
        LuaMethod<&Methods::AvoidObstacles>("AvoidAbstacles"), LuaMethod<&Methods::Separate>("Separate"),
        LuaMethod<&Methods::SetMaxForce>("SetMaxForce"), LuaMethod<&Methods::SetMaxSpeed>("SetMaxSpeed"));
    SetGlobal(state, "SPEED_Fast", 1);
    SetGlobal(state, "SPEED_Normal", 2);
    SetGlobal(state, "SPEED_Slow", 3);
    const char* const behaviors[] = {"BEHAVIOR_Seeking",      "BEHAVIOR_Fleeing",   "BEHAVIOR_Arriving",
                                     "BEHAVIOR_Pursuing",     "BEHAVIOR_Evading",   "BEHAVIOR_Wandering",
                                     "BEHAVIOR_Intercepting", "BEHAVIOR_Hiding",    "BEHAVIOR_Avoidance",
                                     "BEHAVIOR_Separation",   "BEHAVIOR_Alignment", "BEHAVIOR_Cohesion"};
    for (int index = 0; index < kBehaviorCount; ++index)
        SetGlobal(state, behaviors[index], index);
    SetGlobal(state, "BEHAVIOR_COUNT", kBehaviorCount);
}

} // namespace Quarn
