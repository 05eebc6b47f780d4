#pragma once

#include "Core/SystemT.h"

namespace Quarn
{

class Gameplay : public SystemT<Gameplay>
{
public:
    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Gameplay"; }
    void Update(float dt) override;
    void Init() override;
    // Registers the component types this system owns, in their fixed order.
    static void RegisterComponentTypes();
    void InitResources(ResourceManager& resources) override;
};

} // namespace Quarn
