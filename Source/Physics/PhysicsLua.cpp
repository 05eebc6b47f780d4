#include "Physics/Physics.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

// The Lua face of the physics system: the methods scripts call on "physics".

namespace Quarn
{

namespace
{
namespace Face
{

void SetGridPosition(Physics& self, Vector4 p)
{
    self.SetGridPosition(p);
}

} // namespace Face
} // namespace

void Physics::RegisterLuaMethods(lua_State* state)
{
    LuaMethods<Physics>(state, LuaMethod<&Physics::GetPhysicsDT>("GetPhysicsDT"),
                        LuaMethod<&Physics::GetColliderCount>("GetColliderCount"),
                        LuaMethod<&Physics::GetPhysicsObjectCount>("GetPhysicsObjectCount"),
                        LuaMethod<&Face::SetGridPosition>("SetGridPosition"));
}

} // namespace Quarn
