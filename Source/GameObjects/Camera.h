#pragma once

#include "Core/Matrix4.h"
#include "Core/Vector2.h"
#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"

namespace Quarn
{

// Turns its game object into a viewpoint that follows the object's transform: it looks down -z from
// the object's position, or at a fixed point of the plane z = 0, and rolls with the object's angle.
// Has no serialized fields: a prototype only says that the object has a camera.
class Camera : public ComponentT<Camera>
{
public:
    static constexpr const char* kTypeName = "Camera";

    Camera();

    // Takes the owner's position and angle, rebuilds the view and returns it. Without an owner or a
    // transform the view stays as it was.
    const Matrix4& UpdateFromTransform();
    void CalcViewMatrix();
    // Looks at (x, y, 0) from the eye of the last refresh.
    void LookAt(const Vector2& point);
    // Looks down -z again from the next refresh.
    void StopLookingAt() { m_lookingAt = false; }
    // Sends "SetMainCamera" with this camera.
    void SetAsMainView();

    bool Serialize(Serializer& serializer) override;

    // The scripts' methods.
    static void RegisterLuaMethods(lua_State* state);

    Matrix4 m_view;
    float m_angle = 0.0f;
    Vector4 m_position{0.0f, 0.0f, 0.0f, 0.0f};
    bool m_lookingAt = false;
    Vector4 m_target{0.0f, 0.0f, 0.0f, 0.0f};
};

} // namespace Quarn
