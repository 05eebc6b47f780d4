#pragma once

#include <cstdint>

namespace Quarn
{

class PhysicsObject;
struct CollisionPair;

// Sequential impulses on touching pairs, without restitution: a position bias past 0.1 units of
// overlap, friction mixed per pair, impulses kept from step to step.
namespace ContactSolver
{

// What the passes of one step read and write of a responding pair, packed: the step's passes run over
// an array of these rather than over the pair records.
struct Constraint
{
    struct Point
    {
        float rax, ray, rbx, rby;
        float normalMass, tangentMass, bias;
        float normalImpulse, tangentImpulse;
    };
    PhysicsObject* a;
    PhysicsObject* b;
    float invMassA, invInertiaA, invMassB, invInertiaB;
    float nx, ny;
    float friction;
    // Goo pairs: the push A takes in each pass (B takes the opposite), none when both are at one spot.
    float pushX, pushY;
    bool goo;
    bool push;
    std::uint32_t count;
    Point points[2];
};

// A new pair responds only when both objects have bodies that respond; then friction = sqrt(fA fB).
void SetUpPair(CollisionPair& pair);
// Masses and biases of the pair's contacts for this step, and the warm start with last step's impulses.
void PrepareContacts(CollisionPair& pair, float invDt);
// The responding pair's constraint for this step's passes, once it is prepared; false when the passes
// would leave it alone (no contact points, or goo at one spot).
bool MakeConstraint(const CollisionPair& pair, Constraint& constraint);
// One pass: the goo push for goo pairs, else the contact impulses.
void Apply(Constraint& constraint);
// The impulses the passes reached, kept in the pair for the next step's warm start.
void KeepImpulses(const Constraint& constraint, CollisionPair& pair);
// One pass on one pair record.
void ApplyImpulses(CollisionPair& pair);

} // namespace ContactSolver

} // namespace Quarn
