#include "Physics/PhysicsDebugManager.h"

#include "GameObjects/GameObject.h"
#include "GameObjects/Transform.h"
#include "Graphics/DebugLineManager.h"
#include "Physics/Collider.h"

namespace Quarn
{

namespace
{
constexpr RGBA kOutlineColour = RGBA::FromARGB(255, 0, 255, 118);
} // namespace

void PhysicsDebugManager::Draw(const std::vector<Collider*>& colliders)
{
    DebugLineManager* lines = DebugLineManager::Current();
    if (!lines || !lines->IsEnabled())
        return;
    std::vector<Vector3> loop;
    for (Collider* collider : colliders)
    {
        if (collider->Type == Collider::kPolygon)
        {
            if (collider->m_worldCoords.empty())
                continue;
            loop.clear();
            for (const Vector4& point : collider->m_worldCoords)
                loop.emplace_back(point.x, point.y, point.z);
            lines->DrawLineLoop(loop, kOutlineColour);
        }
        else if (Transform* transform =
                     collider->GetOwner() ? collider->GetOwner()->Get<Transform>() : nullptr)
            lines->DrawModel("Circle", transform->GetWorldMatrix(), kOutlineColour);
    }
}

} // namespace Quarn
