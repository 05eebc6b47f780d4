#include "GameObjects/ComponentHandle.h"
#include "GameObjects/PhysicsObject.h"
#include "Physics/DistanceJoint.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<DistanceJoint>;

void Detach(Handle& self)
{
    if (DistanceJoint* joint = self.Resolve())
        joint->Detach();
}

void Attach(Handle& self, Vector4 anchor1, Vector4 anchor2, float restLength)
{
    if (DistanceJoint* joint = self.Resolve())
        joint->Attach(anchor1, anchor2, restLength);
}

void Init(Handle& self, ComponentHandle<PhysicsObject> body1, ComponentHandle<PhysicsObject> body2)
{
    if (DistanceJoint* joint = self.Resolve())
        joint->Init(body1.Resolve(), body2.Resolve());
}

void SetHardness(Handle& self, float hardness)
{
    if (DistanceJoint* joint = self.Resolve())
        joint->Hardness = hardness;
}

void SetSnapable(Handle& self, bool snapable)
{
    if (DistanceJoint* joint = self.Resolve())
        joint->m_snapable = snapable;
}

} // namespace Methods
} // namespace

void DistanceJoint::RegisterLuaMethods(lua_State* state)
{
    LuaMethods<Methods::Handle>(state, LuaMethod<&Methods::Detach>("Detach"),
                                LuaMethod<&Methods::Attach>("Attach"), LuaMethod<&Methods::Init>("Init"),
                                LuaMethod<&Methods::SetHardness>("SetHardness"),
                                LuaMethod<&Methods::SetSnapable>("SetSnapable"));
}

} // namespace Quarn
