#include "Physics/Physics.h"

#include "GameObjects/ComponentRegistry.h"
#include "GameObjects/PhysicsObject.h"
#include "Physics/Collider.h"
#include "Physics/DistanceJoint.h"

namespace Quarn
{

bool Physics::Serialize(Serializer&)
{
    return true;
}

void Physics::Update(float) {}

void Physics::Init()
{
    RegisterComponentTypes();
}

void Physics::RegisterComponentTypes()
{
    ComponentRegistry& registry = GetComponentRegistry();
    registry.Register<Collider>();
    registry.Register<PhysicsObject>();
    registry.Register<DistanceJoint>();
}

void Physics::InitResources(ResourceManager&) {}

} // namespace Quarn
