#include "Graphics/Graphics.h"

#include "GameObjects/ComponentRegistry.h"
#include "Graphics/DrawObject.h"
#include "Graphics/ParticleEmitter.h"
#include "Graphics/PointLight.h"
#include "Graphics/Text.h"

namespace Quarn
{

bool Graphics::Serialize(Serializer&)
{
    return true;
}

void Graphics::Update(float) {}

void Graphics::Init()
{
    RegisterComponentTypes();
}

void Graphics::RegisterComponentTypes()
{
    ComponentRegistry& registry = GetComponentRegistry();
    registry.Register<DrawObject>();
    registry.Register<ParticleEmitter>();
    registry.Register<PointLight>();
    registry.Register<Text>();
}

void Graphics::InitResources(ResourceManager&) {}

} // namespace Quarn
