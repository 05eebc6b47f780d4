#pragma once

#include "Core/SystemT.h"

namespace Quarn
{

class Graphics : public SystemT<Graphics>
{
public:
    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Graphics"; }
    void Update(float dt) override;
    void Init() override;
    // Registers the component types this system owns, in their fixed order.
    static void RegisterComponentTypes();
    void InitResources(ResourceManager& resources) override;
};

} // namespace Quarn
