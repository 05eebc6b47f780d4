#pragma once

#include "Core/Vector4.h"

#include <cstdint>

namespace Quarn
{

// Whether two colliders touch and how: up to two contact points, the unit normal pointing from the
// second collider of the test toward the first, the depth of the overlap, and the solver's per-contact
// values, which a refreshed pair keeps (warm starting).
struct CollisionData
{
    Vector4 contacts[2] = {Vector4(0.0f, 0.0f, 0.0f, 0.0f), Vector4(0.0f, 0.0f, 0.0f, 0.0f)};
    std::uint32_t m_count = 0;
    bool collided = false;
    Vector4 normal{0.0f, 0.0f, 0.0f, 0.0f};
    float penetration = 0.0f;
    float normalImpulses[2] = {};
    float tangentImpulses[2] = {};
    float normalMasses[2] = {};
    float tangentMasses[2] = {};
    float biases[2] = {};
};

} // namespace Quarn
