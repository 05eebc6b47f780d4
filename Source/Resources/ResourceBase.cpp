#include "Resources/ResourceBase.h"

namespace Quarn
{

std::uint16_t NextResourceId()
{
    static std::uint16_t counter = 0;
    return ++counter;
}

} // namespace Quarn
