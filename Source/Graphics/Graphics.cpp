#include "Graphics/Graphics.h"

namespace Quarn
{

bool Graphics::Serialize(Serializer&)
{
    return true;
}

void Graphics::Update(float) {}

void Graphics::Init() {}

void Graphics::InitResources(ResourceManager&) {}

} // namespace Quarn
