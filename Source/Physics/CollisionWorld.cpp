#include "Physics/CollisionWorld.h"

#include "Core/MessageManager.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/PhysicsObject.h"
#include "Physics/Collider.h"
#include "Physics/CollisionPair.h"
#include "Physics/ContactSolver.h"
#include "Physics/DistanceJoint.h"
#include "Physics/NarrowPhase.h"

namespace Quarn
{

namespace
{

// The live object of the handle, or null.
GameObject* LiveObject(const GameObjectHandle& handle)
{
    GameObjectManager* manager = GameObjectManager::Current();
    GameObject* object = manager ? manager->Resolve(handle) : nullptr;
    return object && object->IsLive() ? object : nullptr;
}

Vector3 ToVector3(const Vector4& v)
{
    return Vector3(v.x, v.y, v.z);
}

} // namespace

CollisionWorld::CollisionWorld() = default;

CollisionWorld::~CollisionWorld()
{
    for (const auto& [key, pair] : m_pairs)
    {
        pair->colliderA->m_pairs.erase(pair->linkA);
        pair->colliderB->m_pairs.erase(pair->linkB);
    }
}

std::uint64_t CollisionWorld::PairKey(const GameObjectHandle& a, const GameObjectHandle& b)
{
    const std::uint64_t larger = std::max(a.m_id, b.m_id);
    const std::uint64_t smaller = std::min(a.m_id, b.m_id);
    return larger << 32 | smaller;
}

CollisionPair* CollisionWorld::TakeRecord()
{
    if (m_freeRecords.empty())
    {
        m_records.push_back(std::make_unique<CollisionPair>());
        return m_records.back().get();
    }
    CollisionPair* record = m_freeRecords.back();
    m_freeRecords.pop_back();
    *record = CollisionPair();
    return record;
}

void CollisionWorld::ReleaseRecord(CollisionPair* pair)
{
    pair->colliderA->m_pairs.erase(pair->linkA);
    pair->colliderB->m_pairs.erase(pair->linkB);
    m_freeRecords.push_back(pair);
}

void CollisionWorld::Collide(Collider& first, const Vector4& firstPosition, Collider& second,
                             const Vector4& secondPosition)
{
    Collider& i = second;
    Collider& j = first;
    const Vector4& positionI = secondPosition;
    const Vector4& positionJ = firstPosition;
    const bool goo = i.IsGooHack && j.IsGooHack;
    const bool polygons = i.Type == Collider::kPolygon && j.Type == Collider::kPolygon;
    const bool circles = i.Type == Collider::kCircle && j.Type == Collider::kCircle;
    if (!goo && !polygons && !circles)
        return;
    CollisionData data = goo || circles ? CircleTest(positionI, positionJ) : SAT(i, positionI, j, positionJ);
    if (!data.collided)
        return;
    if (polygons && !goo)
        FindContacts(data, i, j);

    GameObject* ownerI = i.GetOwner();
    GameObject* ownerJ = j.GetOwner();
    const std::uint64_t key = PairKey(ownerI->GetHandle(), ownerJ->GetHandle());
    const auto found = m_pairs.find(key);
    if (found != m_pairs.end())
    {
        CollisionPair& pair = *found->second;
        const bool swapped = !(pair.handleA == ownerI->GetHandle());
        if (swapped)
            data.normal = -data.normal;
        pair.positionA = swapped ? positionJ : positionI;
        pair.positionB = swapped ? positionI : positionJ;
        pair.data.contacts[0] = data.contacts[0];
        pair.data.contacts[1] = data.contacts[1];
        pair.data.m_count = data.m_count;
        pair.data.normal = data.normal;
        pair.data.penetration = data.penetration;
        pair.refreshed = false;
        return;
    }
    CollisionPair& pair = *TakeRecord();
    pair.handleA = ownerI->GetHandle();
    pair.handleB = ownerJ->GetHandle();
    pair.colliderA = &i;
    pair.colliderB = &j;
    pair.linkA = i.m_pairs.insert(i.m_pairs.end(), &pair);
    pair.linkB = j.m_pairs.insert(j.m_pairs.end(), &pair);
    pair.positionA = positionI;
    pair.positionB = positionJ;
    pair.bodyA = ownerI->Get<PhysicsObject>();
    pair.bodyB = ownerJ->Get<PhysicsObject>();
    ContactSolver::SetUpPair(pair);
    pair.data = data;
    m_pairs.emplace(key, &pair);
    QueueCollision(pair);
}

void CollisionWorld::EndUntouchedPairs(const float* invDt)
{
    for (const auto& [key, pair] : m_pairs)
    {
        if (!pair->refreshed)
        {
            if (invDt)
                ContactSolver::PrepareContacts(*pair, *invDt);
            pair->refreshed = true;
            continue;
        }
        if (LiveObject(pair->handleA) && LiveObject(pair->handleB))
            QueueStop(pair->handleA, pair->handleB);
        ReleaseRecord(pair);
        m_ended.push_back(key);
    }
    for (std::uint64_t key : m_ended)
        m_pairs.erase(key);
    m_ended.clear();
}

void CollisionWorld::Resolve(float invDt, const std::vector<DistanceJoint*>& joints)
{
    EndUntouchedPairs(&invDt);
    for (DistanceJoint* joint : joints)
        joint->Prepare(invDt);
    m_responding.clear();
    m_constraints.clear();
    for (const auto& [key, pair] : m_pairs)
    {
        if (!pair->respond)
            continue;
        m_constraints.emplace_back();
        if (ContactSolver::MakeConstraint(*pair, m_constraints.back()))
            m_responding.push_back(pair);
        else
            m_constraints.pop_back();
    }
    for (std::uint32_t pass = 0; pass < m_iterations; ++pass)
    {
        for (ContactSolver::Constraint& constraint : m_constraints)
            ContactSolver::Apply(constraint);
        for (DistanceJoint* joint : joints)
            joint->ApplyImpulse();
    }
    for (std::size_t k = 0; k < m_constraints.size(); ++k)
        ContactSolver::KeepImpulses(m_constraints[k], *m_responding[k]);
    for (DistanceJoint* joint : joints)
        joint->Damp(invDt);
}

void CollisionWorld::RemoveCollider(Collider& collider, MessageManager* messages)
{
    // Every pair ends before any handler runs: a handler may remove the partner's collider, or this
    // one's again, and must find no record of these pairs left to end. The collider itself is not
    // touched once handlers have run.
    std::vector<QueuedCollision> ended;
    while (!collider.m_pairs.empty())
    {
        CollisionPair* pair = collider.m_pairs.front();
        ended.push_back({pair->handleA, pair->handleB});
        m_pairs.erase(PairKey(pair->handleA, pair->handleB));
        ReleaseRecord(pair);
    }
    if (!messages)
        return;
    for (const QueuedCollision& stop : ended)
        if (LiveObject(stop.objectA) && LiveObject(stop.objectB))
            Deliver(stop, *messages);
}

void CollisionWorld::ForgetBody(PhysicsObject& body, Collider* collider)
{
    if (!collider)
        return;
    for (CollisionPair* pair : collider->m_pairs)
    {
        if (pair->bodyA == &body)
            pair->bodyA = nullptr;
        if (pair->bodyB == &body)
            pair->bodyB = nullptr;
        pair->respond = false;
    }
}

void CollisionWorld::QueueCollision(const CollisionPair& pair)
{
    m_queue.push_back({pair.handleA, pair.handleB, true, ToVector3(pair.data.contacts[0]),
                       ToVector3(pair.data.contacts[1]), ToVector3(pair.data.normal), pair.data.penetration});
}

void CollisionWorld::QueueStop(const GameObjectHandle& a, const GameObjectHandle& b)
{
    m_queue.push_back({a, b});
}

void CollisionWorld::Deliver(const QueuedCollision& event, MessageManager& messages)
{
    // Each send looks both objects up again: a handler may have destroyed either.
    const auto send = [&](const GameObjectHandle& to, const GameObjectHandle& other, const Vector3& contact,
                          const Vector3& normal)
    {
        GameObject* receiver = LiveObject(to);
        GameObject* partner = LiveObject(other);
        if (!receiver || !partner)
            return;
        if (event.isCollision)
            messages.SendGOMessage(to, "OnCollision", receiver, partner, contact, normal, event.penetration);
        else
            messages.SendGOMessage(to, "StopCollision", receiver, partner);
    };
    send(event.objectA, event.objectB, event.contact0, -event.normal);
    send(event.objectB, event.objectA, event.contact1, event.normal);
}

void CollisionWorld::DeliverQueue(MessageManager& messages)
{
    std::vector<QueuedCollision> queue;
    queue.swap(m_queue);
    for (const QueuedCollision& event : queue)
        Deliver(event, messages);
    if (m_queue.empty())
    {
        // Keep the storage for the next step.
        queue.clear();
        m_queue.swap(queue);
    }
}

} // namespace Quarn
