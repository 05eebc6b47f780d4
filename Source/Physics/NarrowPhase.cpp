#include "Physics/NarrowPhase.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Transform.h"
#include "Physics/Collider.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace Quarn
{

namespace
{

constexpr float kCircleTouchDistance = 8.0f;
constexpr float kSupportTolerance = 0.1f;

float Dot2(const Vector4& a, const Vector4& b)
{
    return a.x * b.x + a.y * b.y;
}

const Vector4& PositionOf(const Collider& collider)
{
    return collider.GetOwner()->Get<Transform>()->Position;
}

struct AxisResult
{
    bool separates = true;
    float mx = 0.0f;
    float my = 0.0f;
};

// The extent of the points along the axis.
void Project(const Vector4& axis, const std::vector<Vector4>& points, float& low, float& high)
{
    low = FLT_MAX;
    high = -FLT_MAX;
    for (const Vector4& point : points)
    {
        const float d = Dot2(axis, point);
        low = std::min(low, d);
        high = std::max(high, d);
    }
}

// Projects both point sets on the axis: the axis separates them, or overlaps them by the signed gap.
AxisResult TestAxis(const Vector4& axis, const std::vector<Vector4>& p, const std::vector<Vector4>& q)
{
    float minP = 0.0f;
    float maxP = 0.0f;
    float minQ = 0.0f;
    float maxQ = 0.0f;
    Project(axis, p, minP, maxP);
    Project(axis, q, minQ, maxQ);
    const float g1 = minP - maxQ;
    const float g2 = minQ - maxP;
    AxisResult result;
    if (g1 >= FLT_EPSILON || g2 >= FLT_EPSILON)
        return result;
    const float g = std::fabs(g2) < std::fabs(g1) ? g2 : g1;
    result.mx = axis.x * g;
    result.my = axis.y * g;
    result.separates = std::sqrt(result.mx * result.mx + result.my * result.my) <= FLT_EPSILON;
    return result;
}

// The points of the list lowest along n (within the tolerance of the lowest), at most two, in order.
int SupportPoints(const std::vector<Vector4>& points, float nx, float ny, Vector4 (&support)[2])
{
    float lowest = FLT_MAX;
    for (const Vector4& p : points)
        lowest = std::min(lowest, nx * p.x + ny * p.y);
    int found = 0;
    for (const Vector4& p : points)
        if (found < 2 && nx * p.x + ny * p.y < lowest + kSupportTolerance)
            support[found++] = p;
    return found;
}

} // namespace

CollisionData SAT(const Collider& i, const Collider& j)
{
    CollisionData data;
    if (i.m_worldCoords.empty() || j.m_worldCoords.empty())
        return data;
    const Vector4& ci = PositionOf(i);
    const Vector4& cj = PositionOf(j);
    const float dx = ci.x - cj.x;
    const float dy = ci.y - cj.y;
    float best = 0.0f;
    float nx = 0.0f;
    float ny = 0.0f;
    const auto consider = [&](const Collider& owner, const Collider& other, float sign)
    {
        for (const Vector4& axis : owner.m_normals)
        {
            const AxisResult result = TestAxis(axis, owner.m_worldCoords, other.m_worldCoords);
            if (result.separates)
                return false;
            const float length = std::sqrt(result.mx * result.mx + result.my * result.my);
            if (best < FLT_EPSILON || length * length < best * best)
            {
                best = length;
                nx = sign * result.mx / length;
                ny = sign * result.my / length;
            }
        }
        return true;
    };
    if (!consider(i, j, -1.0f) || !consider(j, i, 1.0f))
        return data;
    data.collided = true;
    data.penetration = best;
    if (data.penetration < FLT_EPSILON)
        QUARN_ASSERT_FAILED_AS("cData.GetPenentration() < FLT_EPSILON", "SAT: Penetration too small!");
    if (-dx * nx + -dy * ny > 0.0f)
    {
        nx = -nx;
        ny = -ny;
    }
    data.normal = Vector4(nx, ny, 0.0f, 0.0f);
    return data;
}

CollisionData CircleTest(const Collider& i, const Collider& j)
{
    CollisionData data;
    const Vector4& pi = PositionOf(i);
    const Vector4& pj = PositionOf(j);
    const float dx = pi.x - pj.x;
    const float dy = pi.y - pj.y;
    const float dz = pi.z - pj.z;
    data.collided = std::sqrt(dx * dx + dy * dy + dz * dz) <= kCircleTouchDistance;
    return data;
}

void FindContacts(CollisionData& data, const Collider& i, const Collider& j)
{
    Vector4 supportI[2];
    Vector4 supportJ[2];
    const float nx = data.normal.x;
    const float ny = data.normal.y;
    const int countI = SupportPoints(i.m_worldCoords, nx, ny, supportI);
    const int countJ = SupportPoints(j.m_worldCoords, -nx, -ny, supportJ);
    if (countI == 0 || countJ == 0)
    {
        QUARN_ASSERT_FAILED_AS("!found", "Collision: Contacts not found!");
        return;
    }
    if (countI == 1)
    {
        data.contacts[0] = supportI[0];
        data.m_count = 1;
    }
    else if (countJ == 1)
    {
        data.contacts[0] = supportJ[0];
        data.m_count = 1;
    }
    else
    {
        // Edge against edge: the middle two of the four points along i's edge.
        float ex = supportI[0].x - supportI[1].x;
        float ey = supportI[0].y - supportI[1].y;
        const float length = std::sqrt(ex * ex + ey * ey);
        if (length > 0.0f)
        {
            ex /= length;
            ey /= length;
        }
        Vector4 points[4] = {supportI[0], supportI[1], supportJ[0], supportJ[1]};
        std::stable_sort(std::begin(points), std::end(points),
                         [ex, ey](const Vector4& a, const Vector4& b)
                         { return a.x * ex + a.y * ey < b.x * ex + b.y * ey; });
        data.contacts[0] = points[1];
        data.contacts[1] = points[2];
        data.m_count = 2;
    }
}

} // namespace Quarn
