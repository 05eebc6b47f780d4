#pragma once

#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"

#include <cstdint>
#include <list>
#include <vector>

namespace Quarn
{

struct CollisionPair;

// The collision shape of a game object: a convex polygon of local points or a circle of a radius, in
// up to 32 collision layers.
class Collider : public ComponentT<Collider>
{
public:
    static constexpr const char* kTypeName = "Collider";
    static constexpr int kCircle = 0;
    static constexpr int kPolygon = 1;

    Collider() = default;
    // The pairs belong to the original's collisions.
    Collider(const Collider& source);

    // "Type", then the polygon's "LocalCoords" or the circle's "Radius", the layer sets as lists of
    // bit indices, "IsGooHack".
    bool Serialize(Serializer& serializer) override;

    std::vector<Vector4> m_normals;
    std::vector<Vector4> m_localCoords;
    std::vector<Vector4> m_worldCoords;
    std::list<CollisionPair*> m_pairs;
    float m_radius = 0.0f;
    std::uint32_t Layer = 1;
    std::uint32_t NoCollideLayer = 0;
    int Type = kPolygon;
    bool IsGooHack = false;
};

} // namespace Quarn
