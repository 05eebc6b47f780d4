#include "GameObjects/ComponentHandle.h"
#include "GameObjects/GameObjectLua.h"
#include "GameObjects/Mountable.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<Mountable>;

// Runs change on the mount, then the follow step; a handle whose object is gone does nothing.
template <class Change> void ModifyAndFollow(Handle& self, Change change)
{
    if (Mountable* mount = self.Resolve())
    {
        change(*mount);
        mount->Follow();
    }
}

template <class Change> void Modify(Handle& self, Change change)
{
    if (Mountable* mount = self.Resolve())
        change(*mount);
}

Vector2 GetScale(Handle& self)
{
    const Mountable* m = self.Resolve();
    return m ? Vector2(m->Scale.x, m->Scale.y) : Vector2();
}

Vector3 GetScale3D(Handle& self)
{
    const Mountable* m = self.Resolve();
    return m ? Vector3(m->Scale.x, m->Scale.y, m->Scale.z) : Vector3();
}

void SetScale(Handle& self, Vector2 v)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Scale.x = v.x, m.Scale.y = v.y; });
}

void SetScale3D(Handle& self, Vector3 v)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Scale = Vector4(v.x, v.y, v.z, 0.0f); });
}

void AddScale(Handle& self, Vector2 v)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Scale.x += v.x, m.Scale.y += v.y; });
}

void AddScale3D(Handle& self, Vector3 v)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Scale += Vector4(v.x, v.y, v.z, 0.0f); });
}

void ScaleBy(Handle& self, float k)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Scale *= k; });
}

Vector2 GetPosition(Handle& self)
{
    const Mountable* m = self.Resolve();
    return m ? Vector2(m->Position.x, m->Position.y) : Vector2();
}

void SetPosition(Handle& self, Vector2 v)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Position.x = v.x, m.Position.y = v.y; });
}

void AddPosition(Handle& self, Vector2 v)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Position.x += v.x, m.Position.y += v.y; });
}

Vector4 GetPosition3D(Handle& self)
{
    const Mountable* m = self.Resolve();
    return m ? m->Position : Vector4();
}

void SetPosition3D(Handle& self, Vector3 v)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Position = Vector4(v.x, v.y, v.z, 1.0f); });
}

void AddPosition3D(Handle& self, Vector3 v)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Position += Vector4(v.x, v.y, v.z, 0.0f); });
}

float GetAngle(Handle& self)
{
    const Mountable* m = self.Resolve();
    return m ? m->Angle : 0.0f;
}

void SetAngle(Handle& self, float radians)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Angle = radians; });
}

void AddAngle(Handle& self, float radians)
{
    ModifyAndFollow(self, [&](Mountable& m) { m.Angle += radians; });
}

void Mount(Handle& self, GameObject* parent)
{
    if (parent)
        Modify(self, [&](Mountable& m) { m.Mount(*parent); });
}

void Unregister(Handle& self)
{
    Modify(self, [](Mountable& m) { m.Unregister(); });
}

void SetTransform(Handle& self, Vector3 position, float angle, Vector3 scale)
{
    Modify(self,
           [&](Mountable& m)
           {
               m.Position = Vector4(position.x, position.y, position.z, 1.0f);
               m.Angle = angle;
               m.Scale = Vector4(scale.x, scale.y, scale.z, 0.0f);
           });
}

void SetInheritAngle(Handle& self, bool value)
{
    Modify(self, [&](Mountable& m) { m.InheritAngle = value; });
}

void SetInheritScale(Handle& self, bool value)
{
    Modify(self, [&](Mountable& m) { m.InheritScale = value; });
}

} // namespace Methods
} // namespace

void Mountable::RegisterLuaMethods(lua_State* state)
{
    using namespace Methods;
    LuaMethods<Handle>(
        state, LuaMethod<&Methods::GetScale>("GetScale"), LuaMethod<&Methods::GetScale3D>("GetScale3D"),
        LuaMethod<&Methods::SetScale>("SetScale"), LuaMethod<&Methods::SetScale3D>("SetScale3D"),
        LuaMethod<&Methods::AddScale>("AddScale"), LuaMethod<&Methods::AddScale3D>("AddScale3D"),
        LuaMethod<&Methods::ScaleBy>("Scale"), LuaMethod<&Methods::GetPosition>("GetPosition"),
        LuaMethod<&Methods::SetPosition>("SetPosition"), LuaMethod<&Methods::AddPosition>("AddPosition"),
        LuaMethod<&Methods::GetPosition3D>("GetPosition3D"),
        LuaMethod<&Methods::SetPosition3D>("SetPosition3D"),
        LuaMethod<&Methods::AddPosition3D>("AddPosition3D"), LuaMethod<&Methods::GetAngle>("GetAngle"),
        LuaMethod<&Methods::SetAngle>("SetAngle"), LuaMethod<&Methods::AddAngle>("AddAngle"),
        LuaMethod<&Methods::Mount>("Mount"), LuaMethod<&Methods::Unregister>("Unregister"),
        LuaMethod<&Methods::SetTransform>("SetTransform"),
        LuaMethod<&Methods::SetInheritAngle>("SetInheritAngle"),
        LuaMethod<&Methods::SetInheritScale>("SetInheritScale"));
}

} // namespace Quarn
