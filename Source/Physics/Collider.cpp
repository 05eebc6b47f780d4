#include "Physics/Collider.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Transform.h"
#include "Resources/SerializerTypes.h"

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
    : ComponentT(source), m_normals(source.m_normals), m_localCoords(source.m_localCoords),
      m_worldCoords(source.m_worldCoords), m_radius(source.m_radius), Layer(source.Layer),
      NoCollideLayer(source.NoCollideLayer), Type(source.Type), IsGooHack(source.IsGooHack)
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
    // edges' perpendiculars. The bounding radius: the world matrix without its translation scales and
    // turns, and turning keeps lengths; the square root keeps the order of lengths, so the longest is
    // the root of the largest square. A scale that is not finite would raise the radius for good: the
    // broad phase leaves the collider out while the scale is so.
    const float sx = std::fabs(scale.x);
    const float sy = std::fabs(scale.y);
    const float sz = std::fabs(scale.z);
    const bool finiteScale = std::isfinite(scale.x) && std::isfinite(scale.y) && std::isfinite(scale.z);
    float largest = 0.0f;
    m_worldCoords.resize(count);
    m_normals.resize(count);
    for (std::size_t k = 0; k < count; ++k)
    {
        const Vector4& p = m_localCoords[k];
        const float x = p.x * sx;
        const float y = p.y * sy;
        m_worldCoords[k] =
            Vector4(x * c - y * s + position.x, x * s + y * c + position.y, p.z * sz + position.z, 0.0f);

        const bool closing = k + 1 == count;
        const Vector4& from = closing ? m_localCoords[count - 1] : p;
        const Vector4& to = closing ? m_localCoords[0] : m_localCoords[k + 1];
        const float dx = from.x - to.x;
        const float dy = from.y - to.y;
        const float ex = dx * c - dy * s;
        const float ey = dx * s + dy * c;
        const float length = std::sqrt(ex * ex + ey * ey);
        if (!closing && length < FLT_EPSILON)
            QUARN_ASSERT_FAILED_AS("normal.Length() < FLT_EPSILON", "Hey buddy, your normal is a bit small.");
        m_normals[k] =
            length > 0.0f ? Vector4(-ey / length, ex / length, 0.0f, 0.0f) : Vector4(0.0f, 0.0f, 0.0f, 0.0f);

        const float rx = p.x * scale.x;
        const float ry = p.y * scale.y;
        const float rz = p.z * scale.z;
        largest = std::max(largest, rx * rx + ry * ry + rz * rz);
    }
    if (finiteScale)
        m_radius = std::max(m_radius, std::sqrt(largest));
}

} // namespace Quarn
