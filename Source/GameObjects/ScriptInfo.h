#pragma once

#include "GameObjects/ComponentT.h"

#include <string>
#include <vector>

namespace Quarn
{

// Gives its game object behaviour from Lua: the names of the scripts run with the object when it is
// announced, in order.
class ScriptInfo : public ComponentT<ScriptInfo>
{
public:
    static constexpr const char* kTypeName = "ScriptInfo";

    // The script names, one "Script" entry each.
    bool Serialize(Serializer& serializer) override;

    std::vector<std::string> m_scripts;
};

} // namespace Quarn
