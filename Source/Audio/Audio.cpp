#include "Audio/Audio.h"

#include "Audio/SoundEmitter.h"
#include "GameObjects/ComponentRegistry.h"

namespace Quarn
{

bool Audio::Serialize(Serializer&)
{
    return true;
}

void Audio::Update(float) {}

void Audio::Init()
{
    RegisterComponentTypes();
}

void Audio::RegisterComponentTypes()
{
    ComponentRegistry& registry = GetComponentRegistry();
    registry.Register<SoundEmitter>();
}

void Audio::InitResources(ResourceManager&) {}

} // namespace Quarn
