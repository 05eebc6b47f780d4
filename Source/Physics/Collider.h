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
    static void RegisterLuaMethods(lua_State* state);

    // Copies the shape of another collider (normals, points, radius, type, goo), not its layers or pairs.
    void Assign(const Collider& source);

    // Once per step, from the owner's transform; circles have nothing to update. World points are the
    // local points scaled (by the scale's magnitudes, so a mirrored object keeps its point order),
    // turned and moved; normals are the turned edges' outward perpendiculars; the bounding radius only
    // grows.
    void UpdateWorldData();

    // What each step's broad phase reads comes first, beside the owner.
    float m_radius = 0.0f;
    std::uint32_t Layer = 1;
    std::uint32_t NoCollideLayer = 0;
    int Type = kPolygon;
    bool IsGooHack = false;
    // The broad phase has reported that the collider's placement is not finite, and it has not been
    // finite since.
    bool m_reportedNotFinite = false;
    std::vector<Vector4> m_normals;
    std::vector<Vector4> m_localCoords;
    std::vector<Vector4> m_worldCoords;
    std::list<CollisionPair*> m_pairs;
};

} // namespace Quarn
