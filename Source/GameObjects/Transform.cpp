#include "GameObjects/Transform.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

Transform::Transform(const Transform& source)
    : ComponentT(source), Position(source.Position), Scale(source.Scale), Angle(source.Angle),
      m_world(source.m_world), m_dirty(source.m_dirty)
{
}

bool Transform::Serialize(Serializer& serializer)
{
    // Loading writes the fields only: a new transform is already dirty.
    Vector3 position(Position);
    Vector3 scale(Scale);
    if (SerializeNamed(serializer, position, "Position"))
        Position = Vector4(position.x, position.y, position.z, Position.w);
    if (SerializeNamed(serializer, scale, "Scale"))
        Scale = Vector4(scale.x, scale.y, scale.z, Scale.w);
    SerializeNamed(serializer, Angle, "Angle");
    return true;
}

} // namespace Quarn
