#include "Physics/NarrowPhase.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Physics/Collider.h"
#include "Physics/Lanes.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace Quarn
{

namespace
{

constexpr float kCircleTouchDistance = 8.0f;
constexpr float kSupportTolerance = 0.1f;

// The extents of the points along four axes, one per lane; each lane takes the points in order, as a
// test of that axis alone would.
void Project(const Lanes& ax, const Lanes& ay, const std::vector<Vector4>& points, Lanes& low, Lanes& high)
{
    low = Lanes{} + FLT_MAX;
    high = Lanes{} - FLT_MAX;
    for (const Vector4& point : points)
    {
        const Lanes d = ax * point.x + ay * point.y;
        low = d < low ? d : low;
        high = high < d ? d : high;
    }
}

// Whether each of four axes separates two point sets with the given extents along it, or how far they
// overlap: m, the axis scaled by the signed gap, and its length.
struct AxisResults
{
    Lanes mx;
    Lanes my;
    Lanes length;
    // All bits set in the lanes of separating axes.
    decltype(Lanes{} < Lanes{}) separates;
};

AxisResults TestAxes(const Lanes& ax, const Lanes& ay, const Lanes& minP, const Lanes& maxP,
                     const Lanes& minQ, const Lanes& maxQ)
{
    const Lanes g1 = minP - maxQ;
    const Lanes g2 = minQ - maxP;
    // Only the magnitudes are compared, so the sign of a zero does not matter.
    const auto magnitude = [](const Lanes& v) { return v < 0.0f ? -v : v; };
    const Lanes g = magnitude(g2) < magnitude(g1) ? g2 : g1;
    AxisResults results;
    results.mx = ax * g;
    results.my = ay * g;
    const Lanes squares = results.mx * results.mx + results.my * results.my;
    for (std::size_t lane = 0; lane < 4; ++lane)
        results.length[lane] = std::sqrt(squares[lane]);
    results.separates = (g1 >= FLT_EPSILON) | (g2 >= FLT_EPSILON) | (results.length <= FLT_EPSILON);
    return results;
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

CollisionData SAT(const Collider& i, const Vector4& positionI, const Collider& j, const Vector4& positionJ)
{
    CollisionData data;
    if (i.m_worldCoords.empty() || j.m_worldCoords.empty())
        return data;
    const float dx = positionI.x - positionJ.x;
    const float dy = positionI.y - positionJ.y;
    float best = 0.0f;
    float nx = 0.0f;
    float ny = 0.0f;
    // The owner's edge normals in order, four at a time (the last one repeated to fill the lanes). An
    // axis that separates ends the test; the others' overlaps choose the normal in order.
    const auto consider = [&](const Collider& owner, const Collider& other, float sign)
    {
        const std::vector<Vector4>& normals = owner.m_normals;
        for (std::size_t first = 0; first < normals.size(); first += 4)
        {
            const auto normal = [&](std::size_t lane)
            { return LanesOf(normals[std::min(first + lane, normals.size() - 1)]); };
            Lanes ax = normal(0);
            Lanes ay = normal(1);
            Lanes az = normal(2);
            Lanes aw = normal(3);
            Transpose(ax, ay, az, aw);
            Lanes minP;
            Lanes maxP;
            Lanes minQ;
            Lanes maxQ;
            Project(ax, ay, owner.m_worldCoords, minP, maxP);
            Project(ax, ay, other.m_worldCoords, minQ, maxQ);
            const AxisResults results = TestAxes(ax, ay, minP, maxP, minQ, maxQ);
            const std::size_t lanes = std::min<std::size_t>(4, normals.size() - first);
            for (std::size_t lane = 0; lane < lanes; ++lane)
                if (results.separates[lane])
                    return false;
            for (std::size_t lane = 0; lane < lanes; ++lane)
            {
                const float length = results.length[lane];
                if (best < FLT_EPSILON || length * length < best * best)
                {
                    best = length;
                    nx = sign * results.mx[lane] / length;
                    ny = sign * results.my[lane] / length;
                }
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

CollisionData CircleTest(const Vector4& positionI, const Vector4& positionJ)
{
    CollisionData data;
    const float dx = positionI.x - positionJ.x;
    const float dy = positionI.y - positionJ.y;
    const float dz = positionI.z - positionJ.z;
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
        // A stable insertion sort by the projection, in place: four points need no more. A point below
        // the first goes straight to the front.
        Vector4 points[4] = {supportI[0], supportI[1], supportJ[0], supportJ[1]};
        float along[4];
        for (int k = 0; k < 4; ++k)
        {
            const Vector4 point = points[k];
            const float projection = point.x * ex + point.y * ey;
            int place = k;
            const bool front = k > 0 && projection < along[0];
            for (; place > 0 && (front || projection < along[place - 1]); --place)
            {
                points[place] = points[place - 1];
                along[place] = along[place - 1];
            }
            points[place] = point;
            along[place] = projection;
        }
        data.contacts[0] = points[1];
        data.contacts[1] = points[2];
        data.m_count = 2;
    }
}

} // namespace Quarn
