#include "GameObjects/Gameplay.h"

namespace Quarn
{

bool Gameplay::Serialize(Serializer&)
{
    return true;
}

void Gameplay::Update(float) {}

void Gameplay::Init() {}

void Gameplay::InitResources(ResourceManager&) {}

} // namespace Quarn
