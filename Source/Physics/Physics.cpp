#include "Physics/Physics.h"

namespace Quarn
{

void Physics::Serialize(Serializer&) {}

void Physics::Update(float) {}

void Physics::Init() {}

void Physics::InitResources(ResourceManager&) {}

} // namespace Quarn
