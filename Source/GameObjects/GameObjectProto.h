#pragma once

#include "GameObjects/GameObject.h"
#include "Resources/ResourceBase.h"
#include "Resources/Serializeable.h"

namespace Quarn
{

// A prototype resource (root group "Object"): the game object that new objects of its name are copied
// from. Never live.
class GameObjectProto : public ResourceBase, public Serializeable
{
public:
    GameObject& Object() { return m_object; }

    bool Serialize(Serializer& serializer) override;
    // The form of a prototype file's content, also read over objects built from several archetypes.
    static bool SerializeObject(Serializer& serializer, GameObject& object);

private:
    GameObject m_object;
};

} // namespace Quarn
