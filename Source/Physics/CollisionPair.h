#pragma once

#include "GameObjects/GameObjectHandle.h"
#include "Physics/CollisionData.h"

#include <list>

namespace Quarn
{

class Collider;
class PhysicsObject;

// One pair of colliders that touch, from the pass in which they first touch until the first pass that
// does not find them touching. A is the owner of the pair's first collider at creation; the stored
// normal keeps pointing toward A.
struct CollisionPair
{
    GameObjectHandle handleA;
    GameObjectHandle handleB;
    Collider* colliderA = nullptr;
    Collider* colliderB = nullptr;
    // The owners' positions as the pass that last found the pair touching read them from the owners'
    // Transforms; the solver works from these. No Transform is kept: scripts may replace one between
    // steps.
    Vector4 positionA{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 positionB{0.0f, 0.0f, 0.0f, 0.0f};
    PhysicsObject* bodyA = nullptr;
    PhysicsObject* bodyB = nullptr;
    CollisionData data;
    float friction = 0.0f;
    bool respond = true;
    // False once the current pass has found the pair touching; the end-of-pass walk sets it true.
    bool refreshed = false;
    std::list<CollisionPair*>::iterator linkA;
    std::list<CollisionPair*>::iterator linkB;
};

} // namespace Quarn
