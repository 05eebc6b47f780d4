#pragma once

#include <vector>

namespace Quarn
{

class Collider;
class Component;
class DistanceJoint;
class MessageManager;
class Physics;
class PhysicsObject;

// The physics system's components, in order of creation with swap-removal, kept by their life
// messages; the physics system's counters follow the bodies and colliders.
class PhysicsComponentManager
{
public:
    explicit PhysicsComponentManager(Physics& physics) : m_physics(physics) {}

    // Subscribes the six handlers to the component messages.
    void Register(MessageManager& messages);

    const std::vector<PhysicsObject*>& Bodies() const { return m_bodies; }
    const std::vector<Collider*>& Colliders() const { return m_colliders; }
    const std::vector<DistanceJoint*>& Joints() const { return m_joints; }

    void OnCreatedPhysicsObject(Component* component);
    // Detaches the body's joints, and takes it from the pairs that push it, before it leaves the list.
    void OnDestroyedPhysicsObject(Component* component);
    void OnCreatedCollider(Component* component);
    // Ends the collider's contacts at once and leaves no pair or grid entry pointing at it.
    void OnDestroyedCollider(Component* component);
    void OnCreatedDistanceJoint(Component* component);
    void OnDestroyedDistanceJoint(Component* component);

private:
    Physics& m_physics;
    std::vector<PhysicsObject*> m_bodies;
    std::vector<Collider*> m_colliders;
    std::vector<DistanceJoint*> m_joints;
};

} // namespace Quarn
