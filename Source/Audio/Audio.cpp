#include "Audio/Audio.h"

namespace Quarn
{

bool Audio::Serialize(Serializer&)
{
    return true;
}

void Audio::Update(float) {}

void Audio::Init() {}

void Audio::InitResources(ResourceManager&) {}

} // namespace Quarn
