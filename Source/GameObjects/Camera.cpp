#include "GameObjects/Camera.h"

#include "Core/MathUtil.h"
#include "Core/MatrixBuilders.h"
#include "Core/MessageManager.h"
#include "Core/Vector3.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Transform.h"

#include <cmath>

namespace Quarn
{

Camera::Camera()
{
    CalcViewMatrix();
}

const Matrix4& Camera::UpdateFromTransform()
{
    const Transform* transform = GetOwner() ? GetOwner()->Get<Transform>() : nullptr;
    if (!transform)
        return m_view;
    m_position = transform->Position;
    m_angle = Transform::ToRadians(transform->Angle);
    CalcViewMatrix();
    return m_view;
}

void Camera::CalcViewMatrix()
{
    // Up is the object's facing turned a quarter turn counter-clockwise.
    const float upAngle = m_angle + kPi / 2;
    const Vector3 up(std::cos(upAngle), std::sin(upAngle), 0.0f);
    const Vector3 eye(m_position.x, m_position.y, m_position.z);
    const Vector3 at = m_lookingAt ? Vector3(m_target.x, m_target.y, m_target.z)
                                   : Vector3(m_position.x, m_position.y, m_position.z - 1.0f);
    m_view = MatrixLookAtRH(eye, at, up);
}

void Camera::LookAt(const Vector2& point)
{
    m_target = Vector4(point.x, point.y, 0.0f, 0.0f);
    m_lookingAt = true;
    CalcViewMatrix();
}

void Camera::SetAsMainView()
{
    if (GameObjectManager* manager = GameObjectManager::Current())
        manager->Messages().SendMessage("SetMainCamera", this);
}

bool Camera::Serialize(Serializer&)
{
    return true;
}

} // namespace Quarn
