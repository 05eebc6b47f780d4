#pragma once

#include "Core/SystemT.h"

namespace Quarn
{

class Input : public SystemT<Input>
{
public:
    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Input"; }
    void Update(float dt) override;
    void Init() override;
    void InitResources(ResourceManager& resources) override;
};

} // namespace Quarn
