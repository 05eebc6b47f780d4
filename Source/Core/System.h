#pragma once

#include "Resources/Serializeable.h"
#include "Script/LuaPolymorphicBase.h"

namespace Quarn
{

class ResourceManager;

// Base of the five engine systems. Registration reads a system's settings through Serialize; the
// frame loop calls Init once per process, InitResources at start and after every warm reset, and
// Update once per frame. Scripts see each system as its own class (PushLua).
class System : public Serializeable, public LuaPolymorphicBase
{
public:
    ~System() override = default;

    virtual const char* GetName() const = 0;
    virtual void Update(float dt) = 0;
    virtual void Init() = 0;
    virtual void InitResources(ResourceManager& resources) = 0;
    virtual void WarmReset() {}
};

} // namespace Quarn
