#include "GameObjects/Component.h"

#include "GameObjects/GameObject.h"

namespace Quarn
{

void Component::SetOwner(GameObject* owner)
{
    m_owner = owner;
    m_ownerHandle = owner ? owner->GetHandle() : GameObjectHandle();
}

} // namespace Quarn
