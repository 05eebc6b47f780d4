#include "GameObjects/Component.h"

#include "GameObjects/GameObject.h"

namespace Quarn
{

std::uint64_t Component::NextSerial()
{
    static std::uint64_t s_made = 0;
    return ++s_made;
}

void Component::SetOwner(GameObject* owner)
{
    m_owner = owner;
    m_ownerHandle = owner ? owner->GetHandle() : GameObjectHandle();
}

} // namespace Quarn
