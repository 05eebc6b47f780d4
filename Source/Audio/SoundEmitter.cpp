#include "Audio/SoundEmitter.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

bool SoundEmitter::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, m_eventName, "unused");
    return true;
}

} // namespace Quarn
