#pragma once

#include "Core/SystemT.h"
#include "Physics/CollisionWorld.h"
#include "Physics/PhysicsComponentManager.h"
#include "Physics/PhysicsDebugManager.h"

#include <cstdint>

namespace Quarn
{

class MessageManager;

// The two-dimensional simulation: bodies move by their velocities, colliders meet in the broad and
// narrow phases, an impulse solver pushes touching bodies apart and holds joints, and objects hear
// "OnCollision" and "StopCollision" after the step.
class Physics : public SystemT<Physics>
{
public:
    Physics();
    ~Physics() override;

    // "FixedTimestep", "MaxAccumulatedTime", "StepTime" and "Iterations" (10 when absent).
    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Physics"; }
    // One frame: at most one step (fixed steps from the accumulator, or one step of dt), then the
    // collision messages. While the game is paused nothing moves, but contacts are still tracked. A dt
    // that is not finite counts as 0.
    void Update(float dt) override;
    void Init() override;
    // Registers the component types this system owns, in their fixed order.
    static void RegisterComponentTypes();
    // Subscribes the component handlers to the (fresh) message manager.
    void InitResources(ResourceManager& resources) override;
    static void RegisterLuaMethods(lua_State* state);

    // The time the last Update simulated: 0 for a fixed-step frame that took no step.
    float GetPhysicsDT() const { return m_lastStepDt; }
    std::uint32_t GetColliderCount() const { return m_counters.colliders; }
    std::uint32_t GetPhysicsObjectCount() const { return m_counters.bodies; }
    void SetGridPosition(const Vector4& p) { m_world.Grid().SetGridPosition(p); }

    CollisionWorld& GetWorld() { return m_world; }
    PhysicsComponentManager& GetComponents() { return m_components; }
    // The message manager of the running game, or null.
    MessageManager* Messages() const;

    struct Counters
    {
        std::uint32_t bodies = 0;
        std::uint32_t colliders = 0;
    };
    Counters m_counters;

private:
    void Step();
    void UpdateColliders();
    bool IsPaused() const;

    float m_accumulator = 0.0f;
    float m_maxAccumulatedTime = 0.0f;
    float m_stepTime = 0.0f;
    float m_lastStepDt = 0.0f;
    bool m_fixedTimestep = false;
    CollisionWorld m_world;
    PhysicsDebugManager m_debug;
    PhysicsComponentManager m_components{*this};
};

} // namespace Quarn
