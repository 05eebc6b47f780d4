#include "Physics/Physics.h"

#include "Core/MessageManager.h"
#include "Core/SystemManager.h"
#include "Core/TimeManager.h"
#include "GameObjects/ComponentRegistry.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/PhysicsObject.h"
#include "Physics/Collider.h"
#include "Physics/DistanceJoint.h"
#include "Resources/SerializerTypes.h"

#include <cmath>

namespace Quarn
{

Physics::Physics() = default;

Physics::~Physics() = default;

bool Physics::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, m_fixedTimestep, "FixedTimestep");
    SerializeNamed(serializer, m_maxAccumulatedTime, "MaxAccumulatedTime");
    SerializeNamed(serializer, m_stepTime, "StepTime");
    SerializeNamed(serializer, m_world.m_iterations, "Iterations");
    return true;
}

void Physics::Init()
{
    RegisterComponentTypes();
    // Scripts reach a body as "dynamicsObject" too.
    GameObject::AddLuaFieldAlias(PhysicsObject::kTypeName, "dynamicsObject");
}

void Physics::RegisterComponentTypes()
{
    ComponentRegistry& registry = GetComponentRegistry();
    registry.Register<Collider>();
    registry.Register<PhysicsObject>();
    registry.Register<DistanceJoint>();
}

void Physics::InitResources(ResourceManager&)
{
    if (MessageManager* messages = Messages())
        m_components.Register(*messages);
}

MessageManager* Physics::Messages() const
{
    SystemManager* systems = SystemManager::Instance();
    return systems ? &systems->GetMessageManager() : nullptr;
}

bool Physics::IsPaused() const
{
    SystemManager* systems = SystemManager::Instance();
    if (!systems)
        return false;
    TimeManager& time = systems->GetTimeManager();
    return time.GetCurrentTimer() == time.GetPauseTimer();
}

void Physics::UpdateColliders()
{
    for (Collider* collider : m_components.Colliders())
        collider->UpdateWorldData();
}

void Physics::Step()
{
    m_world.Grid().Test(m_world);
    const float invDt = m_lastStepDt > 0.0f ? 1.0f / m_lastStepDt : 0.0f;
    m_world.Resolve(invDt, m_components.Joints());
    for (PhysicsObject* body : m_components.Bodies())
        body->Integrate(m_lastStepDt);
    UpdateColliders();
}

void Physics::Update(float dt)
{
    // Scripts can distort time by any factor; a frame time that is not finite counts as none, so that
    // it neither sticks in the accumulator nor carries the bodies off.
    if (!std::isfinite(dt))
        dt = 0.0f;
    if (IsPaused())
    {
        UpdateColliders();
        m_world.Grid().Test(m_world);
        m_world.EndUntouchedPairs(nullptr);
    }
    else if (m_fixedTimestep)
    {
        m_accumulator += dt;
        m_lastStepDt = 0.0f;
        // A backlog past the ceiling is dropped, not worked off.
        if (m_accumulator > m_maxAccumulatedTime)
            m_accumulator = 0.0f;
        if (m_accumulator > m_stepTime)
        {
            m_lastStepDt = m_stepTime;
            m_accumulator -= m_stepTime;
            Step();
        }
    }
    else
    {
        m_lastStepDt = dt;
        Step();
    }
    if (MessageManager* messages = Messages())
        m_world.DeliverQueue(*messages);
    m_debug.Draw(m_components.Colliders());
}

} // namespace Quarn
