#include "Physics/PhysicsComponentManager.h"

#include "Core/MessageManager.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/PhysicsObject.h"
#include "Physics/Collider.h"
#include "Physics/DistanceJoint.h"
#include "Physics/Physics.h"

#include <algorithm>

namespace Quarn
{

namespace
{
// Swap-removal: the last element takes the removed one's place; an absent one changes nothing.
template <typename T> bool SwapRemove(std::vector<T*>& list, T* item)
{
    const auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end())
        return false;
    *found = list.back();
    list.pop_back();
    return true;
}
} // namespace

void PhysicsComponentManager::Register(MessageManager& messages)
{
    messages.RegisterListener<void(Component*)>("CreatedPhysicsObject",
                                                [this](Component* c) { OnCreatedPhysicsObject(c); });
    messages.RegisterListener<void(Component*)>("DestroyedPhysicsObject",
                                                [this](Component* c) { OnDestroyedPhysicsObject(c); });
    messages.RegisterListener<void(Component*)>("CreatedCollider",
                                                [this](Component* c) { OnCreatedCollider(c); });
    messages.RegisterListener<void(Component*)>("DestroyedCollider",
                                                [this](Component* c) { OnDestroyedCollider(c); });
    messages.RegisterListener<void(Component*)>("CreatedDistanceJoint",
                                                [this](Component* c) { OnCreatedDistanceJoint(c); });
    messages.RegisterListener<void(Component*)>("DestroyedDistanceJoint",
                                                [this](Component* c) { OnDestroyedDistanceJoint(c); });
}

void PhysicsComponentManager::OnCreatedPhysicsObject(Component* component)
{
    m_bodies.push_back(static_cast<PhysicsObject*>(component));
    ++m_physics.m_counters.bodies;
}

void PhysicsComponentManager::OnDestroyedPhysicsObject(Component* component)
{
    auto* body = static_cast<PhysicsObject*>(component);
    while (!body->m_joints.empty())
        body->m_joints.front()->Detach();
    GameObject* owner = body->GetOwner();
    m_physics.GetWorld().ForgetBody(*body, owner ? owner->Get<Collider>() : nullptr);
    if (SwapRemove(m_bodies, body))
        --m_physics.m_counters.bodies;
}

void PhysicsComponentManager::OnCreatedCollider(Component* component)
{
    auto* collider = static_cast<Collider*>(component);
    m_colliders.push_back(collider);
    m_physics.GetWorld().Grid().Add(collider);
    ++m_physics.m_counters.colliders;
}

void PhysicsComponentManager::OnDestroyedCollider(Component* component)
{
    auto* collider = static_cast<Collider*>(component);
    const bool listed = SwapRemove(m_colliders, collider);
    m_physics.GetWorld().Grid().Remove(collider);
    m_physics.GetWorld().RemoveCollider(*collider, m_physics.Messages());
    if (listed)
        --m_physics.m_counters.colliders;
}

void PhysicsComponentManager::OnCreatedDistanceJoint(Component* component)
{
    m_joints.push_back(static_cast<DistanceJoint*>(component));
}

void PhysicsComponentManager::OnDestroyedDistanceJoint(Component* component)
{
    auto* joint = static_cast<DistanceJoint*>(component);
    if (joint->IsAttached())
        joint->Detach();
    SwapRemove(m_joints, joint);
}

} // namespace Quarn
