#include "GameObjects/ComponentHandle.h"
#include "GameObjects/Transform.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

#include <cmath>

namespace Quarn
{

namespace
{

using Handle = ComponentHandle<Transform>;

// Runs change on the transform and tells its listeners; a handle whose object is gone does nothing.
template <class Change> void Modify(Handle& self, Change change)
{
    if (Transform* transform = self.Resolve())
    {
        change(*transform);
        transform->NotifyChanged();
    }
}

// v turned by the transform's angle, each component made positive.
Vector2 RotatedMagnitudes(const Transform& transform, const Vector2& v)
{
    const float angle = Transform::ToRadians(transform.Angle);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {std::fabs(c * v.x - s * v.y), std::fabs(s * v.x + c * v.y)};
}

Vector2 GetScale(Handle& self)
{
    const Transform* t = self.Resolve();
    return t ? Vector2(t->Scale.x, t->Scale.y) : Vector2();
}

Vector3 GetScale3D(Handle& self)
{
    const Transform* t = self.Resolve();
    return t ? Vector3(t->Scale.x, t->Scale.y, t->Scale.z) : Vector3();
}

void SetScale(Handle& self, Vector2 v)
{
    Modify(self, [&](Transform& t) { t.Scale.x = v.x, t.Scale.y = v.y; });
}

void SetScale3D(Handle& self, Vector3 v)
{
    Modify(self, [&](Transform& t) { t.Scale = Vector4(v.x, v.y, v.z, 0.0f); });
}

void AddScale(Handle& self, Vector2 v)
{
    Modify(self, [&](Transform& t) { t.Scale.x += v.x, t.Scale.y += v.y; });
}

void AddScaleAfterRotation(Handle& self, Vector2 v)
{
    Modify(self,
           [&](Transform& t)
           {
               const Vector2 r = RotatedMagnitudes(t, v);
               t.Scale.x += r.x;
               t.Scale.y += r.y;
           });
}

void ScaleAfterRotation(Handle& self, Vector2 v)
{
    Modify(self,
           [&](Transform& t)
           {
               const Vector2 r = RotatedMagnitudes(t, v);
               t.Scale.x *= r.x;
               t.Scale.y *= r.y;
           });
}

void AddScale3D(Handle& self, Vector3 v)
{
    Modify(self, [&](Transform& t) { t.Scale += Vector4(v.x, v.y, v.z, 0.0f); });
}

void ScaleBy(Handle& self, float k)
{
    Modify(self, [&](Transform& t) { t.Scale *= k; });
}

Vector2 GetPosition(Handle& self)
{
    const Transform* t = self.Resolve();
    return t ? Vector2(t->Position.x, t->Position.y) : Vector2();
}

void SetPosition(Handle& self, Vector2 v)
{
    Modify(self, [&](Transform& t) { t.Position.x = v.x, t.Position.y = v.y; });
}

void AddPosition(Handle& self, Vector2 v)
{
    Modify(self, [&](Transform& t) { t.Position.x += v.x, t.Position.y += v.y; });
}

Vector3 GetPosition3D(Handle& self)
{
    const Transform* t = self.Resolve();
    return t ? Vector3(t->Position.x, t->Position.y, t->Position.z) : Vector3();
}

void SetPosition3D(Handle& self, Vector3 v)
{
    Modify(self, [&](Transform& t) { t.Position = Vector4(v.x, v.y, v.z, 0.0f); });
}

void AddPosition3D(Handle& self, Vector3 v)
{
    Modify(self, [&](Transform& t) { t.Position += Vector4(v.x, v.y, v.z, 0.0f); });
}

void TurnTowards(Handle& self, Vector2 point)
{
    if (Transform* t = self.Resolve())
        t->LookAt(point);
}

float GetAngle(Handle& self)
{
    const Transform* t = self.Resolve();
    return t ? Transform::ToRadians(t->Angle) : 0.0f;
}

void SetAngle(Handle& self, float radians)
{
    Modify(self, [&](Transform& t) { t.Angle = Transform::ToDegrees(radians); });
}

void AddAngle(Handle& self, float radians)
{
    Modify(self, [&](Transform& t) { t.Angle += Transform::ToDegrees(radians); });
}

// Takes position, scale and angle of the source and tells the listeners once; a handle whose object is
// gone changes nothing.
void AssignFrom(Handle& self, Handle source)
{
    Transform* to = self.Resolve();
    const Transform* from = source.Resolve();
    if (to && from)
        to->Assign(*from);
}

} // namespace

void Transform::RegisterLuaMethods(lua_State* state)
{
    LuaMethods<Handle>(
        state, LuaMethod<&GetScale>("GetScale"), LuaMethod<&GetScale3D>("GetScale3D"),
        LuaMethod<&SetScale>("SetScale"), LuaMethod<&SetScale3D>("SetScale3D"),
        LuaMethod<&AddScale>("AddScale"), LuaMethod<&AddScaleAfterRotation>("AddScaleAfterRotation"),
        LuaMethod<&ScaleAfterRotation>("ScaleAfterRotation"), LuaMethod<&AddScale3D>("AddScale3D"),
        LuaMethod<&ScaleBy>("Scale"), LuaMethod<&GetPosition>("GetPosition"),
        LuaMethod<&SetPosition>("SetPosition"), LuaMethod<&AddPosition>("AddPosition"),
        LuaMethod<&GetPosition3D>("GetPosition3D"), LuaMethod<&SetPosition3D>("SetPosition3D"),
        LuaMethod<&AddPosition3D>("AddPosition3D"), LuaMethod<&TurnTowards>("LookAt"),
        LuaMethod<&GetAngle>("GetAngle"), LuaMethod<&SetAngle>("SetAngle"), LuaMethod<&AddAngle>("AddAngle"),
        LuaMethod<&AssignFrom>("Assign"));
}

} // namespace Quarn
