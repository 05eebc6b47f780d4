#pragma once

#include "Resources/ResourceBase.h"
#include "Script/LuaFunction.h"

#include <string>

namespace Quarn
{

class GameObject;
class ResourceNode;
class SystemManager;

// A ".lua" file run once when the resource loads. What it returns last (normally a function) is kept
// and called with each game object that names the script; a script that returns nothing keeps its
// own, not yet run, chunk, so the whole file runs again for each object. The kept value lives in the
// Lua state the script was loaded into; a warm reset makes the resources load again.
class LuaScript : public ResourceBase
{
public:
    // Loads the script of node; a missing file or a script that fails is reported, and the error
    // message is kept instead (calling it later reports again).
    void Create(ResourceNode& node, SystemManager& systems);

    // Calls the kept value with object (nil for null) under the engine's protected call.
    void CallWith(GameObject* object) const;

    // The resource's name with its first letter in lower case.
    const std::string& GetName() const { return m_name; }

private:
    std::string m_name;
    LuaFunction m_value;
};

} // namespace Quarn
