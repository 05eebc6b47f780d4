#include "Core/Vector4.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

void Vector4::Serialize(Serializer& s)
{
    SerializeNamed(s, x, "X");
    SerializeNamed(s, y, "Y");
    SerializeNamed(s, z, "Z");
    SerializeNamed(s, w, "W");
}

} // namespace Quarn
