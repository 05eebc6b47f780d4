#pragma once

#include "GameObjects/ComponentT.h"
#include "Resources/Resource.h"

#include <vector>

namespace Quarn
{

class LuaScript;

// Gives its game object behaviour from Lua: the scripts run with the object when it is announced, in
// order. Only the names are stored; the scripts are resolved when the component is announced.
class ScriptInfo : public ComponentT<ScriptInfo>
{
public:
    static constexpr const char* kTypeName = "ScriptInfo";

    // The script names, one "Script" entry each.
    bool Serialize(Serializer& serializer) override;

    std::vector<Resource<LuaScript>> m_scripts;
};

} // namespace Quarn
