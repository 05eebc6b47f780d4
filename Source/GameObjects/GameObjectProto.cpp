#include "GameObjects/GameObjectProto.h"

#include "Resources/Serializer.h"

namespace Quarn
{

bool GameObjectProto::Serialize(Serializer& serializer)
{
    return SerializeObject(serializer, m_object);
}

bool GameObjectProto::SerializeObject(Serializer& serializer, GameObject& object)
{
    if (!serializer.Exists("unused"))
        return false;
    serializer.BeginGroup("unused");
    object.Serialize(serializer);
    serializer.EndGroup();
    return true;
}

} // namespace Quarn
