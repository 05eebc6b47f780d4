#include "Resources/Serializer.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"

namespace Quarn
{

void LegibleSerializer::SerializeRaw(void*, std::uint32_t)
{
    QUARN_REPORT("Legible Serializers cannot serialize raw data!!!");
}

bool LegibleOutputSerializer::Exists(const char*)
{
    QUARN_REPORT(
        "Exists can only be used with input serializers.  You may want to look into the function "
        "MarkExistance.  If you think this is tedious talk to me and I can change it back to the way "
        "I used to do it which is a bit different.");
    return false;
}

} // namespace Quarn
