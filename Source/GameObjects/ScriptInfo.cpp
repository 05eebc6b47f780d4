#include "GameObjects/ScriptInfo.h"

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

} // namespace Quarn
