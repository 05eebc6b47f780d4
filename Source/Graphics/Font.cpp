#include "Graphics/Font.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

bool Font::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, Face, "Face");
    SerializeNamed(serializer, Size, "Size");
    SerializeNamed(serializer, Italic, "Italic");
    SerializeNamed(serializer, Weight, "Weight");
    return true;
}

} // namespace Quarn
