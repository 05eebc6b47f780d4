#include "GameObjects/Gameplay.h"

namespace Quarn
{

void Gameplay::Serialize(Serializer&) {}

void Gameplay::Update(float) {}

void Gameplay::Init() {}

void Gameplay::InitResources(ResourceManager&) {}

} // namespace Quarn
