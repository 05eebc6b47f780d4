#include "GameObjects/GameObject.h"

#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SizedPool.h"
#include "GameObjects/Component.h"
#include "GameObjects/GameObjectManager.h"
#include "Resources/Serializer.h"
#include "Resources/SerializerTypes.h"

#include <string>

namespace Quarn
{

GameObject::GameObject(const GameObject& source) : Serializeable(), m_handle(source.m_handle)
{
    for (std::size_t slot = 0; slot < m_components.size(); ++slot)
        if (source.m_components[slot])
            m_components[slot] = source.m_components[slot]->Clone();
    SetOwners();
}

GameObject& GameObject::operator=(const GameObject& source)
{
    if (this == &source)
        return *this;
    if (m_live)
        UnregisterComponents();
    for (std::size_t slot = 0; slot < m_components.size(); ++slot)
    {
        Component* old = m_components[slot];
        m_components[slot] = source.m_components[slot] ? source.m_components[slot]->Clone() : nullptr;
        delete old;
    }
    SetOwners();
    if (m_live)
        RegisterComponents();
    return *this;
}

GameObject::~GameObject()
{
    DropLuaIdentity();
    for (Component*& component : m_components)
    {
        delete component;
        component = nullptr;
    }
}

void* GameObject::operator new(std::size_t)
{
    return SizedPool<sizeof(GameObject)>::AllocateOrThrow();
}

void GameObject::operator delete(void* block)
{
    SizedPool<sizeof(GameObject)>::Release(block);
}

Component* GameObject::GetComponent(int typeId) const
{
    return ComponentRegistry::IsValidId(typeId) ? m_components[static_cast<std::size_t>(typeId)] : nullptr;
}

void GameObject::SetComponent(int typeId, Component* component, const char* typeName)
{
    if (!ComponentRegistry::IsValidId(typeId))
    {
        QUARN_REPORT("Component type id %d is outside the %d component slots", typeId, kSlots);
        delete component;
        return;
    }
    if (!m_live)
    {
        // Nothing changes on an object that is not in play; the component offered is not kept.
        delete component;
        return;
    }
    const auto slot = static_cast<std::size_t>(typeId);
    const std::uint16_t slotBit = static_cast<std::uint16_t>(1u << slot);
    if (m_changingSlots & slotBit)
    {
        // A listener of this slot's change asks to change it again: the change under way stands.
        OutputHandler::Get().Log("The %s of game object %u is changing already; the change asked meanwhile "
                                 "is dropped",
                                 typeName, m_handle.m_id);
        delete component;
        return;
    }
    Component* old = m_components[slot];
    if (old == component)
        return;
    m_changingSlots |= slotBit;
    struct ChangeEnd
    {
        std::uint16_t& slots;
        std::uint16_t bit;
        ~ChangeEnd() { slots &= static_cast<std::uint16_t>(~bit); }
    } changeEnd{m_changingSlots, slotBit};
    if (old && old->IsAnnounced())
    {
        old->SetAnnounced(false);
        Announce(*old, GetComponentRegistry().DestroyedMessage(slot));
        SetLuaField(typeName, nullptr);
    }
    m_components[slot] = component;
    delete old;
    if (component)
    {
        component->SetOwner(this);
        component->SetAnnounced(true);
        Announce(*component, GetComponentRegistry().CreatedMessage(slot));
        SetLuaField(typeName, component);
    }
}

void GameObject::SetOwners()
{
    for (Component* component : m_components)
        if (component)
            component->SetOwner(this);
}

void GameObject::Announce(Component& component, MessageName name)
{
    GameObjectManager* manager = GameObjectManager::Current();
    if (manager)
        manager->Messages().SendMessage(name, &component);
}

void GameObject::SendCreatedMessages()
{
    OutputHandler::Get().StartTimer("GOCreateSendMsg");
    // A listener may replace or remove components of this object; each slot is read when it is reached.
    const ComponentRegistry& registry = GetComponentRegistry();
    for (std::size_t slot = 0; slot < m_components.size(); ++slot)
        if (Component* component = m_components[slot]; component && !component->IsAnnounced())
        {
            component->SetAnnounced(true);
            Announce(*component, registry.CreatedMessage(slot));
        }
    OutputHandler::Get().EndTimer("GOCreateSendMsg");
}

void GameObject::SendDestroyedMessages()
{
    const ComponentRegistry& registry = GetComponentRegistry();
    for (std::size_t slot = 0; slot < m_components.size(); ++slot)
        if (Component* component = m_components[slot]; component && component->IsAnnounced())
        {
            component->SetAnnounced(false);
            Announce(*component, registry.DestroyedMessage(slot));
        }
}

void GameObject::RegisterComponents()
{
    OutputHandler::Get().StartTimer("GORegisterCMP");
    if (m_live)
    {
        m_luaFields = true;
        for (Component* component : m_components)
            if (component)
                SetLuaField(component->GetTypeName(), component);
    }
    OutputHandler::Get().EndTimer("GORegisterCMP");
    SendCreatedMessages();
}

void GameObject::UnregisterComponents()
{
    SendDestroyedMessages();
    ClearLuaFields();
}

void GameObject::ClearLuaFields()
{
    m_luaFields = false;
    for (Component* component : m_components)
        if (component)
            SetLuaField(component->GetTypeName(), nullptr);
}

bool GameObject::Serialize(Serializer& serializer)
{
    if (serializer.Exists("unused;Archetype"))
    {
        serializer.BeginGroup("unused;Archetype");
        auto count = static_cast<std::uint32_t>(m_archetypes.size());
        serializer.SequenceSize(count, "unused;Archetype");
        if (serializer.IsInput())
            m_archetypes.resize(count);
        for (std::string& name : m_archetypes)
            SerializeNamed(serializer, name, "unused;Archetype");
        serializer.EndGroup();
        if (serializer.IsInput())
            if (GameObjectManager* manager = GameObjectManager::Current())
                manager->ApplyArchetypes(*this);
    }
    ComponentRegistry& registry = GetComponentRegistry();
    for (int typeId = 0; typeId < registry.Count(); ++typeId)
    {
        registry.SetCurrentTypeId(static_cast<std::uint32_t>(typeId));
        const char* name = registry.GetName(typeId);
        if (!name || !serializer.Exists(name))
            continue;
        serializer.BeginGroup(name);
        SerializeSlot(serializer, static_cast<std::size_t>(typeId));
        serializer.EndGroup();
    }
    return true;
}

void GameObject::SerializeSlot(Serializer& serializer, std::size_t slot)
{
    Component*& component = m_components[slot];
    const bool wasEmpty = component == nullptr;
    SerializeComponentPointer(serializer, component,
                              [slot] { return GetComponentRegistry().Create(static_cast<int>(slot)); });
    if (wasEmpty && component)
        component->SetOwner(this);
}

} // namespace Quarn
