#include "Physics/Physics.h"

namespace Quarn
{

bool Physics::Serialize(Serializer&)
{
    return true;
}

void Physics::Update(float) {}

void Physics::Init() {}

void Physics::InitResources(ResourceManager&) {}

} // namespace Quarn
