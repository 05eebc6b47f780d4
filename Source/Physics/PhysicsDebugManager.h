#pragma once

#include <vector>

namespace Quarn
{

class Collider;

// Outlines every collider through the debug-draw store each frame, in one colour: a polygon as the loop
// through its world points, a circle as the store's model "Circle" placed by its object's transform.
// Whether the lines show is the store's decision.
class PhysicsDebugManager
{
public:
    void Draw(const std::vector<Collider*>& colliders);
};

} // namespace Quarn
