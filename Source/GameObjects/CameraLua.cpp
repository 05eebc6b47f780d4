#include "GameObjects/Camera.h"
#include "GameObjects/ComponentHandle.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<Camera>;

void SetAsMainView(Handle& self)
{
    if (Camera* camera = self.Resolve())
        camera->SetAsMainView();
}

void LookAt(Handle& self, Vector2 point)
{
    if (Camera* camera = self.Resolve())
        camera->LookAt(point);
}

void StopLookingAt(Handle& self)
{
    if (Camera* camera = self.Resolve())
        camera->StopLookingAt();
}

} // namespace Methods
} // namespace

void Camera::RegisterLuaMethods(lua_State* state)
{
    LuaMethods<Methods::Handle>(state, LuaMethod<&Methods::SetAsMainView>("SetAsMainView"),
                                LuaMethod<&Methods::LookAt>("LookAt"),
                                LuaMethod<&Methods::StopLookingAt>("StopLookingAt"));
}

} // namespace Quarn
