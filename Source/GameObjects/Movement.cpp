#include "GameObjects/Movement.h"

#include "Core/MathUtil.h"
#include "Core/RGBA.h"
#include "Core/Random.h"
#include "Core/Vector3.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/PhysicsObject.h"
#include "GameObjects/Transform.h"
#include "Resources/LuaMainLib.h"
#include "Resources/SerializerTypes.h"

#include <algorithm>
#include <cmath>

namespace Quarn
{

namespace
{

constexpr RGBA kArrowColour = RGBA::FromARGB(255, 255, 0, 0);
constexpr float kArrowLength = 50.0f;

float Length(const Vector2& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y);
}

float Dot(const Vector2& a, const Vector2& b)
{
    return a.x * b.x + a.y * b.y;
}

Vector2 Flat(const Vector4& v)
{
    return {v.x, v.y};
}

// v / |v|, or (1, 0) for a vector without a direction.
Vector2 NormalizedOrUnitX(const Vector2& v)
{
    const float length = Length(v);
    return length > 0.0f ? v * (1.0f / length) : Vector2(1.0f, 0.0f);
}

Vector4 NormalizedOrUnitX(const Vector4& v)
{
    const float length = std::sqrt(Vector4::LengthSquared(v));
    return length > 0.0f ? v * (1.0f / length) : Vector4(1.0f, 0.0f, 0.0f, 0.0f);
}

// The other object while it exists and is in play.
GameObject* ResolveLive(const GameObjectHandle& handle)
{
    GameObjectManager* manager = GameObjectManager::Current();
    GameObject* object = manager && handle.IsValid() ? manager->Resolve(handle) : nullptr;
    return object && object->IsLive() ? object : nullptr;
}

float RandomUnit()
{
    return static_cast<float>(2.0 * (EngineRand() / static_cast<double>(EngineRandMax)) - 1.0);
}

} // namespace

void Movement::Update(float dt)
{
    GameObject* owner = GetOwner();
    Transform* transform = owner ? owner->Get<Transform>() : nullptr;
    PhysicsObject* body = owner ? owner->Get<PhysicsObject>() : nullptr;
    if (!transform || !body)
        return;

    m_elapsed += dt;
    if (UpdateInterval < m_elapsed)
    {
        Heading = NormalizedOrUnitX(body->m_velocity);
        SteeringForce = Vector2();
        SteeringForce = Calculate(*transform, *body, m_elapsed);
        m_elapsed = 0.0f;
    }

    const Vector3 from(transform->Position.x, transform->Position.y, transform->Position.z);
    const float arrowScale = MaxForce > 0.0f ? kArrowLength / MaxForce : 0.0f;
    LuaMainLib::DrawDebugArrow(
        from, Vector3(from.x + SteeringForce.x * arrowScale, from.y + SteeringForce.y * arrowScale, from.z),
        kArrowColour);

    Vector4& velocity = body->m_velocity;
    velocity.x += SteeringForce.x * dt;
    velocity.y += SteeringForce.y * dt;
    const float speedSquared = velocity.x * velocity.x + velocity.y * velocity.y;
    if (speedSquared > MaxSpeed * MaxSpeed)
    {
        const float scale = MaxSpeed * (1.0f / std::sqrt(speedSquared));
        velocity = Vector4(velocity.x * scale, velocity.y * scale, 0.0f, 0.0f);
    }
    if (FaceTarget)
    {
        transform->Angle = Transform::ToDegrees(std::atan2(velocity.y, velocity.x));
        transform->NotifyChanged();
    }
}

bool Movement::Accumulate(Vector2& total, const Vector2& force) const
{
    const float remaining = MaxForce - Length(total);
    if (!(remaining > 0.0f))
        return false;
    const float length = Length(force);
    if (length < remaining)
        total = total + force;
    else
        total = total + force * (remaining / length);
    return true;
}

Vector2 Movement::Calculate(Transform& transform, PhysicsObject& body, float elapsed)
{
    const Vector2 position = Flat(transform.Position);
    const Vector2 velocity = Flat(body.m_velocity);
    Vector2 total = SteeringForce;
    Vector2 targetPosition;
    Vector2 targetVelocity;

    if (m_behaviors[Evading])
    {
        Vector2 force;
        if (ReadTarget(m_evadeTarget, Evading, targetPosition, targetVelocity))
        {
            const float closing = MaxSpeed + Length(targetVelocity);
            const float lookAhead = closing > 0.0f ? Length(targetPosition - position) / closing : 0.0f;
            force = FleeForce(position, velocity, targetPosition + targetVelocity * lookAhead);
        }
        if (!Accumulate(total, force * EvadeWeight))
            return total;
    }
    if (m_behaviors[Fleeing] && !Accumulate(total, FleeForce(position, velocity, m_fleeTarget) * FleeWeight))
        return total;
    if (m_behaviors[Seeking] && !Accumulate(total, SeekForce(position, velocity, m_seekTarget) * SeekWeight))
        return total;
    if (m_behaviors[Arriving] && !Accumulate(total, ArriveForce(position, velocity) * ArriveWeight))
        return total;
    if (m_behaviors[Wandering] && !Accumulate(total, WanderForce(elapsed) * WanderWeight))
        return total;
    if (m_behaviors[Pursuing])
    {
        Vector2 force;
        if (ReadTarget(m_pursueTarget, Pursuing, targetPosition, targetVelocity))
        {
            const Vector2 toTarget = targetPosition - position;
            const Vector2 heading = Flat(Heading);
            const float closing = MaxSpeed + Length(targetVelocity);
            if (Dot(toTarget, heading) > 0.0f && Dot(heading, NormalizedOrUnitX(targetVelocity)) < -0.95f)
                force = SeekForce(position, velocity, targetPosition);
            else
                force = SeekForce(position, velocity,
                                  targetPosition +
                                      targetVelocity * (closing > 0.0f ? Length(toTarget) / closing : 0.0f));
        }
        Accumulate(total, force * PursueWeight);
    }
    return total;
}

Vector2 Movement::SeekForce(const Vector2& position, const Vector2& velocity, const Vector2& target) const
{
    const Vector2 offset = target - position;
    if (Dot(offset, offset) < 0.1f)
        return {};
    return offset * (MaxSpeed / Length(offset)) - velocity;
}

Vector2 Movement::FleeForce(const Vector2& position, const Vector2& velocity, const Vector2& target) const
{
    const Vector2 offset = position - target;
    if (Dot(offset, offset) < 0.1f)
        return {};
    return offset * (MaxSpeed / Length(offset)) - velocity;
}

Vector2 Movement::ArriveForce(const Vector2& position, const Vector2& velocity) const
{
    const Vector2 offset = m_arriveTarget - position;
    const float distance = Length(offset);
    if (distance <= 0.001f)
        return {};
    // A deceleration of 0 makes the wanted speed unbounded, and so MaxSpeed.
    const float speed = m_deceleration > 0.0f ? std::min(distance / m_deceleration, MaxSpeed) : MaxSpeed;
    return offset * ((2.0f * speed - Length(velocity)) * 0.1f);
}

Vector2 Movement::WanderForce(float elapsed)
{
    const float jitterY = RandomUnit();
    const float jitterX = RandomUnit();
    WanderTarget +=
        Vector4(jitterX * m_wanderJitter * elapsed, jitterY * m_wanderJitter * elapsed, 0.0f, 0.0f);
    // A target with no length (no jitter yet) starts straight ahead.
    WanderTarget = NormalizedOrUnitX(WanderTarget) * m_wanderRadius;
    const Vector2 local(WanderTarget.x + m_wanderDistance, WanderTarget.y);
    const float angle = std::atan2(Heading.y, Heading.x);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {c * local.x - s * local.y, s * local.x + c * local.y};
}

bool Movement::ReadTarget(const GameObjectHandle& object, Behavior behavior, Vector2& targetPosition,
                          Vector2& targetVelocity)
{
    GameObject* target = ResolveLive(object);
    const Transform* transform = target ? target->Get<Transform>() : nullptr;
    if (!transform)
    {
        m_behaviors[behavior] = false;
        return false;
    }
    const PhysicsObject* body = target->Get<PhysicsObject>();
    targetPosition = Flat(transform->Position);
    targetVelocity = body ? Flat(body->m_velocity) : Vector2();
    return true;
}

void Movement::Seek(const Vector2& point)
{
    m_seekTarget = point;
    m_behaviors[Seeking] = true;
}

void Movement::Flee(const Vector2& point)
{
    m_fleeTarget = point;
    m_behaviors[Fleeing] = true;
}

void Movement::Arrive(const Vector2& point, float deceleration)
{
    m_arriveTarget = point;
    m_deceleration = deceleration;
    m_behaviors[Arriving] = true;
}

void Movement::Pursue(const GameObjectHandle& object)
{
    m_pursueTarget = object;
    m_behaviors[Pursuing] = true;
}

void Movement::Evade(const GameObjectHandle& object)
{
    m_evadeTarget = object;
    m_behaviors[Evading] = true;
}

void Movement::Wander(float radius, float jitter, float distance)
{
    m_wanderRadius = radius;
    m_wanderJitter = jitter;
    m_wanderDistance = distance;
    m_behaviors[Wandering] = true;
}

void Movement::Intercept(const GameObjectHandle& first, const GameObjectHandle& second)
{
    m_interceptTarget1 = first;
    m_interceptTarget2 = second;
    m_behaviors[Intercepting] = true;
}

void Movement::Hide(const GameObjectHandle& object)
{
    m_hideTarget = object;
    m_behaviors[Hiding] = true;
}

void Movement::EnableAll()
{
    m_behaviors.fill(true);
}

void Movement::DisableAll()
{
    m_behaviors.fill(false);
}

void Movement::DisableOption(int behavior)
{
    if (behavior >= 0 && behavior < kBehaviorCount)
        m_behaviors[behavior] = false;
}

bool Movement::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, CohesionWeight, "CohesionWeight");
    SerializeNamed(serializer, SeparationWeight, "SeparationWeight");
    SerializeNamed(serializer, AlignmentWeight, "AlignmentWeight");
    SerializeNamed(serializer, SeekWeight, "SeekWeight");
    SerializeNamed(serializer, FleeWeight, "FleeWeight");
    SerializeNamed(serializer, PursueWeight, "PursueWeight");
    SerializeNamed(serializer, EvadeWeight, "EvadeWeight");
    SerializeNamed(serializer, ArriveWeight, "ArriveWeight");
    SerializeNamed(serializer, InterceptWeight, "InterceptWeight");
    SerializeNamed(serializer, ObstacleAvoidWeight, "ObstacleAvoidWeight");
    SerializeNamed(serializer, WanderWeight, "WanderWeight");
    SerializeNamed(serializer, HideWeight, "HideWeight");
    SerializeNamed(serializer, FaceTarget, "FaceTarget");
    SerializeNamed(serializer, MaxForce, "MaxForce");
    SerializeNamed(serializer, MaxSpeed, "MaxSpeed");
    return true;
}

} // namespace Quarn
