#pragma once

#include "Core/RGBA.h"
#include "Core/Vector3.h"
#include "GameObjects/ComponentT.h"

namespace Quarn
{

// Gives its game object a point light: colours, a radius and an offset from the object.
class PointLight : public ComponentT<PointLight>
{
public:
    static constexpr const char* kTypeName = "PointLight";

    // "Diffuse", "Specular" (packed colours), "Radius", "Offset".
    bool Serialize(Serializer& serializer) override;
    // "SetRadius", "GetRadius", "SetDiffuse", "GetDiffuse", "SetSpecular", "GetSpecular".
    static void RegisterLuaMethods(lua_State* state);

    RGBA m_diffuse{0xFFFFFFFFu};
    RGBA m_specular{0xFFFFFFFFu};
    float m_radius = 30.0f;
    Vector3 m_offset{0.0f, 0.0f, 20.0f};
};

} // namespace Quarn
