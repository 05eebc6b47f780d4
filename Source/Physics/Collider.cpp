#include "Physics/Collider.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Transform.h"
#include "Physics/Lanes.h"
#include "Resources/SerializerTypes.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace Quarn
{

namespace
{

// A layer set as the indices of its set bits; a non-empty list read replaces the set.
void SerializeLayers(Serializer& serializer, std::uint32_t& layers, const char* name)
{
    std::vector<std::uint32_t> indices;
    for (std::uint32_t bit = 0; bit < 32; ++bit)
        if (layers & (1u << bit))
            indices.push_back(bit);
    if (!SerializeSequence(serializer, indices, name) || !serializer.IsInput() || indices.empty())
        return;
    std::uint32_t read = 0;
    for (std::uint32_t bit : indices)
        if (bit < 32)
            read |= 1u << bit;
    layers = read;
}

} // namespace

Collider::Collider(const Collider& source)
    : ComponentT(source), m_radius(source.m_radius), Layer(source.Layer),
      NoCollideLayer(source.NoCollideLayer), Type(source.Type), IsGooHack(source.IsGooHack),
      m_normals(source.m_normals), m_localCoords(source.m_localCoords), m_worldCoords(source.m_worldCoords)
{
}

bool Collider::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, Type, "Type");
    if (Type == kPolygon)
    {
        QUARN_ASSERT(SerializeSequence(serializer, m_localCoords, "LocalCoords;Coord") ||
                         !m_localCoords.empty(),
                     "You need local coords in this object!");
    }
    else if (Type == kCircle)
    {
        QUARN_ASSERT(SerializeNamed(serializer, m_radius, "Radius"),
                     "You must specify a radius for a circle collider.");
    }
    SerializeLayers(serializer, Layer, "unused;Layer");
    Layer |= 1u;
    SerializeLayers(serializer, NoCollideLayer, "unused;NoCollideLayer");
    SerializeNamed(serializer, IsGooHack, "IsGooHack");
    return true;
}

void Collider::Assign(const Collider& source)
{
    m_normals = source.m_normals;
    m_localCoords = source.m_localCoords;
    m_worldCoords = source.m_worldCoords;
    m_radius = source.m_radius;
    Type = source.Type;
    IsGooHack = source.IsGooHack;
}

void Collider::UpdateWorldData()
{
    const Transform* transform = GetOwner() ? GetOwner()->Get<Transform>() : nullptr;
    if (Type != kPolygon || !transform)
        return;
    if (m_localCoords.empty())
    {
        QUARN_ASSERT_FAILED_AS("m_localCoords.size() == 0", "there should be verts in a collider.");
        QUARN_ASSERT_FAILED_AS("m_localCoords.size() == 0", "WHERE ARE MY VERTS?");
        return;
    }
    const float angle = Transform::ToRadians(transform->Angle);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const Vector4& position = transform->Position;
    const Vector4& scale = transform->Scale;
    const std::size_t count = m_localCoords.size();
    // World points: scaled by the scale's magnitudes, turned, moved. Normals: the turned (not scaled)
    // edges from each point to the next (the last to the first), made perpendicular. The bounding
    // radius: the world matrix without its translation scales and turns, and turning keeps lengths; the
    // square root keeps the order of lengths, so the longest is the root of the largest square. A scale
    // that is not finite would raise the radius for good: the broad phase leaves the collider out while
    // the scale is so. Four points at a time, the last group filled up with the last point.
    const float sx = std::fabs(scale.x);
    const float sy = std::fabs(scale.y);
    const float sz = std::fabs(scale.z);
    const bool finiteScale = std::isfinite(scale.x) && std::isfinite(scale.y) && std::isfinite(scale.z);
    float largest = 0.0f;
    m_worldCoords.resize(count);
    m_normals.resize(count);
    for (std::size_t first = 0; first < count; first += 4)
    {
        const auto point = [&](std::size_t lane) -> const Vector4&
        { return m_localCoords[std::min(first + lane, count - 1)]; };
        const auto next = [&](std::size_t lane) -> const Vector4&
        {
            const std::size_t k = std::min(first + lane, count - 1);
            return m_localCoords[k + 1 == count ? 0 : k + 1];
        };
        Lanes px = LanesOf(point(0));
        Lanes py = LanesOf(point(1));
        Lanes pz = LanesOf(point(2));
        Lanes pw = LanesOf(point(3));
        Transpose(px, py, pz, pw);
        Lanes qx = LanesOf(next(0));
        Lanes qy = LanesOf(next(1));
        Lanes qz = LanesOf(next(2));
        Lanes qw = LanesOf(next(3));
        Transpose(qx, qy, qz, qw);

        const Lanes x = px * sx;
        const Lanes y = py * sy;
        Lanes worldX = x * c - y * s + position.x;
        Lanes worldY = x * s + y * c + position.y;
        Lanes worldZ = pz * sz + position.z;
        Lanes worldW = Lanes{};
        Transpose(worldX, worldY, worldZ, worldW);

        const Lanes dx = px - qx;
        const Lanes dy = py - qy;
        const Lanes ex = dx * c - dy * s;
        const Lanes ey = dx * s + dy * c;
        const Lanes squares = ex * ex + ey * ey;
        Lanes length;
        for (std::size_t lane = 0; lane < 4; ++lane)
            length[lane] = std::sqrt(squares[lane]);
        const auto positive = length > 0.0f;
        Lanes normalX = positive ? -ey / length : Lanes{};
        Lanes normalY = positive ? ex / length : Lanes{};
        Lanes normalZ = Lanes{};
        Lanes normalW = Lanes{};
        Transpose(normalX, normalY, normalZ, normalW);

        const Lanes rx = px * scale.x;
        const Lanes ry = py * scale.y;
        const Lanes rz = pz * scale.z;
        const Lanes radii = rx * rx + ry * ry + rz * rz;

        // After the transposes, the lanes of each row are one point's world coordinates or normal.
        const Lanes worldPoints[4] = {worldX, worldY, worldZ, worldW};
        const Lanes normals[4] = {normalX, normalY, normalZ, normalW};
        for (std::size_t lane = 0; lane < 4 && first + lane < count; ++lane)
        {
            const std::size_t k = first + lane;
            m_worldCoords[k] = Vector4Of(worldPoints[lane]);
            if (k + 1 < count && length[lane] < FLT_EPSILON)
                QUARN_ASSERT_FAILED_AS("normal.Length() < FLT_EPSILON",
                                       "Hey buddy, your normal is a bit small.");
            m_normals[k] = Vector4Of(normals[lane]);
            largest = std::max(largest, radii[lane]);
        }
    }
    if (finiteScale)
        m_radius = std::max(m_radius, std::sqrt(largest));
}

} // namespace Quarn
