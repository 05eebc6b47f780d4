#include "GameObjects/Nameable.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

bool Nameable::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, Name, "Name");
    return true;
}

} // namespace Quarn
