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
    LuaMethods<Physics>(state, &Physics::GetPhysicsDT, "GetPhysicsDT", &Physics::GetColliderCount,
                        "GetColliderCount", &Physics::GetPhysicsObjectCount, "GetPhysicsObjectCount",
                        &Face::SetGridPosition, "SetGridPosition");
}

} // namespace Quarn
