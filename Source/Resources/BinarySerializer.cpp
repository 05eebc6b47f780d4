#include "Resources/BinarySerializer.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"

namespace Quarn
{

void ReportBinaryExistenceRefused()
{
    QUARN_REPORT("Binary serializers do not currently support injecting existance");
}

} // namespace Quarn
