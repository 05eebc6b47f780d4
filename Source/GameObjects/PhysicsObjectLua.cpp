#include "GameObjects/ComponentHandle.h"
#include "GameObjects/PhysicsObject.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<PhysicsObject>;

// The body's change, when its object is still in play.
template <typename Edit> void Change(Handle& self, Edit&& change)
{
    if (PhysicsObject* body = self.Resolve())
        change(*body);
}

// The body's value, or the zero of its type when its object is gone.
template <typename Read> auto Value(Handle& self, Read&& read)
{
    const PhysicsObject* body = self.Resolve();
    return body ? read(*body) : decltype(read(*body)){};
}

Vector4 Flat(const Vector4& v)
{
    return Vector4(v.x, v.y, 0.0f, 0.0f);
}

void SetVelocity3D(Handle& self, Vector4 v)
{
    Change(self, [&](PhysicsObject& body) { body.m_velocity = v; });
}
void SetVelocity(Handle& self, Vector4 v)
{
    Change(self, [&](PhysicsObject& body) { body.m_velocity = Flat(v); });
}
void SetAngularVelocity(Handle& self, float w)
{
    Change(self, [&](PhysicsObject& body) { body.m_angularVelocity.z = w; });
}
void AddVelocity(Handle& self, Vector4 v)
{
    Change(self, [&](PhysicsObject& body) { body.AddVelocity(v.x, v.y); });
}
void AddVelocity3D(Handle& self, Vector4 v)
{
    Change(self, [&](PhysicsObject& body) { body.m_velocity += v; });
}
void AddAngularVelocity(Handle& self, float w)
{
    Change(self, [&](PhysicsObject& body) { body.m_angularVelocity.z += w; });
}
void AddMass(Handle& self, float mass)
{
    Change(self, [&](PhysicsObject& body) { body.InvMass = 1.0f / (1.0f / body.InvMass + mass); });
}
float GetAngularVelocity(Handle& self)
{
    return Value(self, [](const PhysicsObject& body) { return body.m_angularVelocity.z; });
}
Vector4 GetAngularVelocity3D(Handle& self)
{
    return Value(self, [](const PhysicsObject& body) { return body.m_angularVelocity; });
}
Vector4 GetVelocity(Handle& self)
{
    return Value(self, [](const PhysicsObject& body) { return Flat(body.m_velocity); });
}
Vector4 GetVelocity3D(Handle& self)
{
    return Value(self, [](const PhysicsObject& body) { return body.m_velocity; });
}
float GetFriction(Handle& self)
{
    return Value(self, [](const PhysicsObject& body) { return body.Friction; });
}
float GetMass(Handle& self)
{
    return Value(self, [](const PhysicsObject& body) { return 1.0f / body.InvMass; });
}
Vector4 GetOldVelocity(Handle& self)
{
    return Value(self, [](const PhysicsObject& body) { return Flat(body.m_oldVelocity); });
}
Vector4 GetOldVelocity3D(Handle& self)
{
    return Value(self, [](const PhysicsObject& body) { return body.m_oldVelocity; });
}
float GetOldAngVelocity(Handle& self)
{
    return Value(self, [](const PhysicsObject& body) { return body.m_oldAngularVelocity.z; });
}
void SetRespond(Handle& self, bool respond)
{
    Change(self, [&](PhysicsObject& body) { body.Respond = respond; });
}
void SetInvMass(Handle& self, float invMass)
{
    Change(self, [&](PhysicsObject& body) { body.InvMass = invMass; });
}

} // namespace Methods
} // namespace

void PhysicsObject::RegisterLuaMethods(lua_State* state)
{
    using namespace Methods;
    LuaMethods<Handle>(
        state, LuaMethod<&Methods::SetVelocity3D>("SetVelocity3D"), LuaMethod<&SetVelocity>("SetVelocity"),
        LuaMethod<&SetAngularVelocity>("SetAngularVelocity"), LuaMethod<&Methods::AddVelocity>("AddVelocity"),
        LuaMethod<&AddVelocity3D>("AddVelocity3D"), LuaMethod<&AddAngularVelocity>("AddAngularVelocity"),
        LuaMethod<&AddMass>("AddMass"), LuaMethod<&GetAngularVelocity>("GetAngularVelocity"),
        LuaMethod<&GetAngularVelocity3D>("GetAngularVelocity3D"), LuaMethod<&GetVelocity>("GetVelocity"),
        LuaMethod<&GetVelocity3D>("GetVelocity3D"), LuaMethod<&GetFriction>("GetFriction"),
        LuaMethod<&GetMass>("GetMass"), LuaMethod<&GetOldVelocity>("GetOldVelocity"),
        LuaMethod<&GetOldVelocity3D>("GetOldVelocity3D"), LuaMethod<&GetOldAngVelocity>("GetOldAngVelocity"),
        LuaMethod<&SetRespond>("SetRespond"), LuaMethod<&SetInvMass>("SetInvMass"));
}

} // namespace Quarn
