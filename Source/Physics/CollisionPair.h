#pragma once

#include "GameObjects/GameObjectHandle.h"
#include "Physics/CollisionData.h"

#include <list>

namespace Quarn
{

class Collider;
class PhysicsObject;
class Transform;

// One pair of colliders that touch, from the pass in which they first touch until the first pass that
// does not find them touching. A is the owner of the pair's first collider at creation; the stored
// normal keeps pointing toward A.
struct CollisionPair
{
    GameObjectHandle handleA;
    GameObjectHandle handleB;
    Collider* colliderA = nullptr;
    Collider* colliderB = nullptr;
    Transform* transformA = nullptr;
    Transform* transformB = nullptr;
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
