#pragma once

#include "Core/Vector2.h"
#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"
#include "GameObjects/GameObjectHandle.h"

#include <array>

namespace Quarn
{

// Steering behaviours: the active ones become one force on the owner's rigid body every frame.
class Movement : public ComponentT<Movement>
{
public:
    static constexpr const char* kTypeName = "Movement";
    static constexpr int kBehaviorCount = 12;

    // The weights, "FaceTarget", "MaxForce" and "MaxSpeed"; behaviours, targets and the running state
    // are not stored, so a loaded Movement starts with every behaviour off.
    bool Serialize(Serializer& serializer) override;

    // One steering step of dt, run by Gameplay every frame for every live Movement. No behaviour is
    // applied yet.
    void Update(float dt);

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
};

} // namespace Quarn
