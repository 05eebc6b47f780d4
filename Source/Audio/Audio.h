#pragma once

#include "Core/SystemT.h"

#include <string>

namespace Quarn
{

class Audio : public SystemT<Audio>
{
public:
    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Audio"; }
    void Update(float dt) override;
    void Init() override;
    // Registers the component types this system owns, in their fixed order.
    static void RegisterComponentTypes();
    void InitResources(ResourceManager& resources) override;

private:
    // Settings read from the "Audio" resource.
    std::string m_projectName;
    float m_volume = 1.0f;
    bool m_muted = false;
};

} // namespace Quarn
