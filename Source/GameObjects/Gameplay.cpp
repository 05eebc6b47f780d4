#include "GameObjects/Gameplay.h"

#include "GameObjects/Camera.h"
#include "GameObjects/ComponentRegistry.h"
#include "GameObjects/Mountable.h"
#include "GameObjects/Movement.h"
#include "GameObjects/Nameable.h"
#include "GameObjects/ScriptInfo.h"
#include "GameObjects/Transform.h"

namespace Quarn
{

bool Gameplay::Serialize(Serializer&)
{
    return true;
}

void Gameplay::Update(float) {}

void Gameplay::Init()
{
    RegisterComponentTypes();
}

void Gameplay::RegisterComponentTypes()
{
    ComponentRegistry& registry = GetComponentRegistry();
    registry.Register<Transform>();
    registry.Register<ScriptInfo>();
    registry.Register<Camera>();
    registry.Register<Mountable>();
    registry.Register<Movement>();
    registry.Register<Nameable>();
}

void Gameplay::InitResources(ResourceManager&) {}

} // namespace Quarn
