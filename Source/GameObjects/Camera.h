#pragma once

#include "Core/Matrix4.h"
#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"

namespace Quarn
{

// Turns its game object into a viewpoint that follows the object's transform. Has no serialized
// fields: a prototype only says that the object has a camera.
class Camera : public ComponentT<Camera>
{
public:
    static constexpr const char* kTypeName = "Camera";

    bool Serialize(Serializer& serializer) override;

    Matrix4 m_view;
    float m_angle = 0.0f;
    Vector4 m_position{0.0f, 0.0f, 0.0f, 0.0f};
    bool m_lookingAt = false;
    Vector4 m_target{0.0f, 0.0f, 0.0f, 0.0f};
};

} // namespace Quarn
