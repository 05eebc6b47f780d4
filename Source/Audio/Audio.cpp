#include "Audio/Audio.h"

namespace Quarn
{

void Audio::Serialize(Serializer&) {}

void Audio::Update(float) {}

void Audio::Init() {}

void Audio::InitResources(ResourceManager&) {}

} // namespace Quarn
