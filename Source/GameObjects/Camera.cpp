#include "GameObjects/Camera.h"

namespace Quarn
{

bool Camera::Serialize(Serializer&)
{
    return true;
}

} // namespace Quarn
