#include "Graphics/PointLight.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

bool PointLight::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, m_diffuse, "Diffuse");
    SerializeNamed(serializer, m_specular, "Specular");
    SerializeNamed(serializer, m_radius, "Radius");
    SerializeNamed(serializer, m_offset, "Offset");
    return true;
}

} // namespace Quarn
