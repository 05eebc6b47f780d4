#pragma once

#include "Core/Vector3.h"
#include "GameObjects/GameObjectHandle.h"
#include "Physics/ContactSolver.h"
#include "Physics/ImplicitGrid.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Quarn
{

class Collider;
class DistanceJoint;
class MessageManager;
class PhysicsObject;
struct CollisionPair;

// A collision event waiting for the end of the step: "OnCollision" with the pair's contacts, normal
// (from B toward A) and depth, or "StopCollision" with the two objects only.
struct QueuedCollision
{
    GameObjectHandle objectA;
    GameObjectHandle objectB;
    bool isCollision = false;
    Vector3 contact0{0.0f, 0.0f, 0.0f};
    Vector3 contact1{0.0f, 0.0f, 0.0f};
    Vector3 normal{0.0f, 0.0f, 0.0f};
    float penetration = 0.0f;
};

// The touching pairs, the broad phase, the solver's pass count and the collision messages of a step.
class CollisionWorld
{
public:
    static constexpr std::uint32_t kDefaultIterations = 10;

    CollisionWorld();
    ~CollisionWorld();
    CollisionWorld(const CollisionWorld&) = delete;
    CollisionWorld& operator=(const CollisionWorld&) = delete;

    ImplicitGrid& Grid() { return m_grid; }
    std::uint32_t m_iterations = kDefaultIterations;

    // The narrow phase for one candidate pair, first being earlier in the grid's list, with the owners'
    // positions as the broad phase read them (neither owner is scaled to nothing): a new touching pair
    // gets a record and a queued "OnCollision"; a pair still touching gets fresh contact data.
    void Collide(Collider& first, const Vector4& firstPosition, Collider& second,
                 const Vector4& secondPosition);
    // Ends the pairs the last pass did not find touching ("StopCollision" queued when both objects
    // live) and marks the others for the next pass; with a step (invDt given) the touching pairs are
    // prepared for the solver on the way.
    void EndUntouchedPairs(const float* invDt);
    // One step of contact resolution: pairs ended or prepared, joints prepared, Iterations passes of
    // pair and joint impulses, then the joints' damping.
    void Resolve(float invDt, const std::vector<DistanceJoint*>& joints);

    // The collider is going: its pairs end now, "StopCollision" delivered at once where both objects
    // still live, and no record is left pointing at it.
    void RemoveCollider(Collider& collider, MessageManager* messages);
    // The body is going: pairs that pushed it stop responding and forget it.
    void ForgetBody(PhysicsObject& body, Collider* collider);

    void QueueCollision(const CollisionPair& pair);
    void QueueStop(const GameObjectHandle& a, const GameObjectHandle& b);
    // Sends one event to both objects, each skipped when it is no longer a live object.
    static void Deliver(const QueuedCollision& event, MessageManager& messages);
    // Delivers the queue in order and empties it; events queued meanwhile wait for the next delivery.
    void DeliverQueue(MessageManager& messages);

    std::size_t PairCount() const { return m_pairs.size(); }
    const std::vector<QueuedCollision>& Queue() const { return m_queue; }
    // The pairs in table order.
    template <typename Visit> void ForEachPair(Visit&& visit) const
    {
        for (const auto& [key, pair] : m_pairs)
            visit(*pair);
    }

private:
    static std::uint64_t PairKey(const GameObjectHandle& a, const GameObjectHandle& b);
    CollisionPair* TakeRecord();
    // Unlinks the record from its colliders' lists and returns it to the pool.
    void ReleaseRecord(CollisionPair* pair);

    ImplicitGrid m_grid;
    std::unordered_map<std::uint64_t, CollisionPair*> m_pairs;
    std::vector<std::unique_ptr<CollisionPair>> m_records;
    std::vector<CollisionPair*> m_freeRecords;
    std::vector<QueuedCollision> m_queue;
    std::vector<std::uint64_t> m_ended;
    // The pairs the current step's passes act on and their packed constraints, side by side; kept so
    // that a step allocates nothing.
    std::vector<CollisionPair*> m_responding;
    std::vector<ContactSolver::Constraint> m_constraints;
};

} // namespace Quarn
