#pragma once

#include "Core/Vector2.h"
#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"
#include "GameObjects/GameObjectHandle.h"

#include <array>

namespace Quarn
{

class PhysicsObject;
class Transform;

// Steering behaviours: the active ones become one force on the owner's rigid body every frame.
class Movement : public ComponentT<Movement>
{
public:
    static constexpr const char* kTypeName = "Movement";

    // Behaviour indices, also the scripts' BEHAVIOR_* values.
    enum Behavior
    {
        Seeking,
        Fleeing,
        Arriving,
        Pursuing,
        Evading,
        Wandering,
        Intercepting,
        Hiding,
        Avoidance,
        Separation,
        Alignment,
        Cohesion,
        kBehaviorCount
    };

    // The per-frame step: the force is recomputed once more than UpdateInterval has passed and applied
    // to the body's velocity in every frame. Skipped while the owner lacks a transform or a body.
    void Update(float dt);
    // The active behaviours' forces in priority order (evade, flee, seek, arrive, wander, pursue),
    // summed until their length reaches MaxForce.
    Vector2 Calculate(Transform& transform, PhysicsObject& body, float elapsed);

    void Seek(const Vector2& point);
    void Flee(const Vector2& point);
    void Arrive(const Vector2& point, float deceleration);
    void Pursue(const GameObjectHandle& object);
    void Evade(const GameObjectHandle& object);
    void Wander(float radius, float jitter, float distance);
    void Intercept(const GameObjectHandle& first, const GameObjectHandle& second);
    void Hide(const GameObjectHandle& object);
    void EnableAll();
    void DisableAll();
    // A behaviour outside 0 to 11 changes nothing.
    void DisableOption(int behavior);
    bool IsOn(Behavior behavior) const { return m_behaviors[behavior]; }

    // The weights, "FaceTarget", "MaxForce" and "MaxSpeed"; behaviours, targets and the running state
    // are not stored, so a loaded Movement starts with every behaviour off.
    bool Serialize(Serializer& serializer) override;

    // The scripts' methods; also sets the SPEED_* and BEHAVIOR_* globals.
    static void RegisterLuaMethods(lua_State* state);

    Vector4 Heading{0.0f, 0.0f, 0.0f, 0.0f};
    Vector2 SteeringForce;
    float UpdateInterval = 0.05f;
    float m_elapsed = 0.0f;
    float MaxSpeed = 800.0f;
    float MaxForce = 1200.0f;
    std::array<bool, kBehaviorCount> m_behaviors{};
    float SeekWeight = 1.0f;
    float FleeWeight = 1.0f;
    float ArriveWeight = 1.0f;
    float PursueWeight = 1.0f;
    float EvadeWeight = 1.0f;
    float WanderWeight = 1.0f;
    float InterceptWeight = 1.0f;
    float HideWeight = 1.0f;
    bool FaceTarget = true;
    float ObstacleAvoidWeight = 10.0f;
    float SeparationWeight = 1.0f;
    float AlignmentWeight = 1.0f;
    float CohesionWeight = 2.0f;
    Vector2 m_seekTarget;
    Vector2 m_fleeTarget;
    Vector2 m_arriveTarget;
    GameObjectHandle m_pursueTarget;
    GameObjectHandle m_evadeTarget;
    GameObjectHandle m_interceptTarget1;
    GameObjectHandle m_interceptTarget2;
    GameObjectHandle m_hideTarget;
    float m_deceleration = 0.0f;
    Vector4 WanderTarget{0.0f, 0.0f, 0.0f, 0.0f};
    float m_wanderRadius = 0.0f;
    float m_wanderJitter = 0.0f;
    float m_wanderDistance = 0.0f;

private:
    // Adds force to total within what is left of MaxForce; false once nothing is left.
    bool Accumulate(Vector2& total, const Vector2& force) const;
    Vector2 SeekForce(const Vector2& position, const Vector2& velocity, const Vector2& target) const;
    Vector2 FleeForce(const Vector2& position, const Vector2& velocity, const Vector2& target) const;
    Vector2 ArriveForce(const Vector2& position, const Vector2& velocity) const;
    Vector2 WanderForce(float elapsed);
    // Pursue and evade: the other object's position and velocity, or false (and the behaviour off)
    // once it is gone.
    bool ReadTarget(const GameObjectHandle& object, Behavior behavior, Vector2& targetPosition,
                    Vector2& targetVelocity);
};

} // namespace Quarn
