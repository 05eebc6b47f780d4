#include "GameObjects/Mountable.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

Mountable::Mountable(const Mountable& source)
    : ComponentT(source), m_parent(source.m_parent), Position(source.Position),
      InheritAngle(source.InheritAngle), InheritScale(source.InheritScale), Angle(source.Angle),
      Scale(source.Scale)
{
}

bool Mountable::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, Position, "Position");
    Vector3 scale(Scale);
    if (SerializeNamed(serializer, scale, "Scale"))
        Scale = Vector4(scale.x, scale.y, scale.z, Scale.w);
    SerializeNamed(serializer, Angle, "Angle");
    SerializeNamed(serializer, InheritScale, "InheritScale");
    SerializeNamed(serializer, InheritAngle, "InheritAngle");
    return true;
}

} // namespace Quarn
