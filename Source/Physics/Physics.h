#pragma once

#include "Core/SystemT.h"

namespace Quarn
{

class Physics : public SystemT<Physics>
{
public:
    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Physics"; }
    void Update(float dt) override;
    void Init() override;
    // Registers the component types this system owns, in their fixed order.
    static void RegisterComponentTypes();
    void InitResources(ResourceManager& resources) override;

private:
    // Settings read from the "Physics" resource.
    bool m_fixedTimestep = false;
    float m_maxAccumulatedTime = 0.0f;
    float m_stepTime = 0.0f;
    int m_iterations = 10;
};

} // namespace Quarn
