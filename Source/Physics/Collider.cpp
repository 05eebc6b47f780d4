#include "Physics/Collider.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/SerializerTypes.h"

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

} // namespace Quarn
