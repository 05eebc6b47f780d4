#include "GameObjects/ComponentHandle.h"
#include "Graphics/PointLight.h"
#include "Script/LuaColor.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<PointLight>;

void SetRadius(Handle& self, float radius)
{
    if (PointLight* light = self.Resolve())
        light->m_radius = radius;
}

float GetRadius(Handle& self)
{
    const PointLight* light = self.Resolve();
    return light ? light->m_radius : 0.0f;
}

void SetDiffuse(Handle& self, RGBA colour)
{
    if (PointLight* light = self.Resolve())
        light->m_diffuse = colour;
}

RGBA GetDiffuse(Handle& self)
{
    const PointLight* light = self.Resolve();
    return light ? light->m_diffuse : RGBA();
}

void SetSpecular(Handle& self, RGBA colour)
{
    if (PointLight* light = self.Resolve())
        light->m_specular = colour;
}

RGBA GetSpecular(Handle& self)
{
    const PointLight* light = self.Resolve();
    return light ? light->m_specular : RGBA();
}

} // namespace Methods
} // namespace

void PointLight::RegisterLuaMethods(lua_State* state)
{
    using namespace Methods;
    LuaMethods<Handle>(state, LuaMethod<&SetRadius>("SetRadius"), LuaMethod<&GetRadius>("GetRadius"),
                       LuaMethod<&SetDiffuse>("SetDiffuse"), LuaMethod<&GetDiffuse>("GetDiffuse"),
                       LuaMethod<&SetSpecular>("SetSpecular"), LuaMethod<&GetSpecular>("GetSpecular"));
}

} // namespace Quarn
