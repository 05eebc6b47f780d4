#pragma once

namespace Quarn
{

struct CollisionPair;

// Sequential impulses on touching pairs, without restitution: a position bias past 0.1 units of
// overlap, friction mixed per pair, impulses kept from step to step.
namespace ContactSolver
{

// A new pair responds only when both objects have bodies that respond; then friction = sqrt(fA fB).
void SetUpPair(CollisionPair& pair);
// Masses and biases of the pair's contacts for this step, and the warm start with last step's impulses.
void PrepareContacts(CollisionPair& pair, float invDt);
// One pass: the goo push for goo pairs, else the contact impulses.
void ApplyImpulses(CollisionPair& pair);
void Solve(CollisionPair& pair);

} // namespace ContactSolver

} // namespace Quarn
