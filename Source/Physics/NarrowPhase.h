#pragma once

#include "Core/Vector4.h"
#include "Physics/CollisionData.h"

namespace Quarn
{

class Collider;

// The separating-axis test of two polygons (their world points and edge normals; their owners'
// positions): the least overlap over all axes, its normal pointing from j toward i. Not collided when an
// axis separates them or either has no world points.
CollisionData SAT(const Collider& i, const Vector4& positionI, const Collider& j, const Vector4& positionJ);
// Two colliders touch when their owners' positions are at most 8 apart; nothing else is set.
CollisionData CircleTest(const Vector4& positionI, const Vector4& positionJ);
// The contact points of a polygon pair from the support points along the normal: one for a corner,
// two (the middle two along the edge) for edge against edge.
void FindContacts(CollisionData& data, const Collider& i, const Collider& j);

} // namespace Quarn
