#pragma once

#include "GameObjects/ComponentT.h"
#include "GameObjects/LuaScript.h"
#include "Resources/Resource.h"

#include <vector>

namespace Quarn
{

class ResourceManager;

// Gives its game object behaviour from Lua: the scripts run with the object when it is announced, in
// order. Only the names are stored; the scripts are resolved when the component is announced.
class ScriptInfo : public ComponentT<ScriptInfo>
{
public:
    static constexpr const char* kTypeName = "ScriptInfo";

    // The script names, one "Script" entry each.
    bool Serialize(Serializer& serializer) override;

    // Loads each script when needed and calls it with owner, in list order. A copy of the component
    // shares the loaded scripts.
    void RunScripts(ResourceManager& resources, GameObject* owner);

    std::vector<Resource<LuaScript>> m_scripts;

private:
    // owner still resolves through handle and still holds component. Static: the component may have
    // been deleted, and only its address is compared.
    static bool IsHeldBy(const ScriptInfo* component, const GameObjectHandle& handle, GameObject* owner);
};

} // namespace Quarn
