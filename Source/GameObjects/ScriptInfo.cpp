#include "GameObjects/ScriptInfo.h"

#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "Resources/ResourceManager.h"
#include "Resources/SerializerTypes.h"

namespace Quarn
{

bool ScriptInfo::Serialize(Serializer& serializer)
{
    if (!serializer.Exists("unused;Script"))
        return true;
    serializer.BeginGroup("unused;Script");
    auto count = static_cast<std::uint32_t>(m_scripts.size());
    serializer.SequenceSize(count, "unused;Script");
    if (count != 0)
    {
        if (serializer.IsInput())
            m_scripts.resize(count);
        for (Resource<LuaScript>& script : m_scripts)
            SerializeNamed(serializer, script, "unused;Script");
    }
    serializer.EndGroup();
    return true;
}

void ScriptInfo::RunScripts(ResourceManager& resources, GameObject* owner)
{
    // A script may change this list, remove this component or end its object while it runs, so the
    // names are read from a copy and this component is touched only while its object still holds it.
    const std::vector<Resource<LuaScript>> scripts = m_scripts;
    const GameObjectHandle handle = GetOwnerHandle();
    for (std::size_t i = 0; i < scripts.size(); ++i)
    {
        const Resource<LuaScript> script = resources.GetResource<LuaScript>(scripts[i].GetName());
        if (!IsHeldBy(this, handle, owner))
            return;
        if (i < m_scripts.size() && m_scripts[i].GetName() == script.GetName())
            m_scripts[i] = script;
        if (script)
            script->CallWith(owner);
        if (!IsHeldBy(this, handle, owner))
            return;
    }
}

bool ScriptInfo::IsHeldBy(const ScriptInfo* component, const GameObjectHandle& handle, GameObject* owner)
{
    const GameObjectManager* objects = GameObjectManager::Current();
    if (objects && objects->Resolve(handle) != owner)
        return false;
    return owner && owner->Get<ScriptInfo>() == component;
}

} // namespace Quarn
