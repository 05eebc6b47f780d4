#include "Graphics/Graphics.h"

namespace Quarn
{

void Graphics::Serialize(Serializer&) {}

void Graphics::Update(float) {}

void Graphics::Init() {}

void Graphics::InitResources(ResourceManager&) {}

} // namespace Quarn
