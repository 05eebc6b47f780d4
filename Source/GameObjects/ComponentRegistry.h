#pragma once

#include "Core/MessageName.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "GameObjects/ComponentCreationT.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Quarn
{

// The creators and type names of the registered component types, indexed by type id. Each system's
// Init registers its types; ids come from one counter in call order, so the init order of the systems
// fixes them (0 Collider ... 13 Text), and they stay fixed for the process.
class ComponentRegistry
{
public:
    static constexpr int kMaxTypes = 14;

    // Gives X the next id and stores its creator and name there. A type registered before keeps its
    // id and gets a fresh creator; a type beyond the fourteen slots is reported and not registered.
    template <class X> void Register()
    {
        int typeId = X::TypeId();
        if (typeId < 0)
        {
            if (m_nextTypeId >= kMaxTypes)
            {
                QUARN_REPORT("Component type \"%s\" cannot be registered: all %d component types are taken",
                             X::kTypeName, kMaxTypes);
                return;
            }
            typeId = m_nextTypeId++;
            X::SetTypeId(typeId);
        }
        m_creators[static_cast<std::size_t>(typeId)] = std::make_unique<ComponentCreationT<X>>();
        const auto slot = static_cast<std::size_t>(typeId);
        m_names[slot] = X::kTypeName;
        m_created[slot].emplace(std::string("Created") + X::kTypeName);
        m_destroyed[slot].emplace(std::string("Destroyed") + X::kTypeName);
    }

    int Count() const { return m_nextTypeId; }
    static bool IsValidId(int typeId) { return typeId >= 0 && typeId < kMaxTypes; }

    // Null for an id without a registered type.
    const char* GetName(int typeId) const;
    // "Created" and "Destroyed" with the type name: the messages that announce a component of the
    // type (the bare words for an id without a registered type).
    MessageName CreatedMessage(std::size_t typeId) const
    {
        return m_created[typeId] ? *m_created[typeId] : MessageName("Created");
    }
    MessageName DestroyedMessage(std::size_t typeId) const
    {
        return m_destroyed[typeId] ? *m_destroyed[typeId] : MessageName("Destroyed");
    }
    // A new default component of the type, or null (reported) for an id without one.
    Component* Create(int typeId) const;
    // The id of the named type, or -1.
    int FindTypeId(const std::string& name) const;

    // The type whose creator is used while a game object reads its components.
    std::uint32_t GetCurrentTypeId() const { return m_currentTypeId; }
    void SetCurrentTypeId(std::uint32_t typeId) { m_currentTypeId = typeId; }

private:
    std::array<std::unique_ptr<ComponentCreationBase>, kMaxTypes> m_creators;
    std::array<const char*, kMaxTypes> m_names{};
    std::array<std::optional<MessageName>, kMaxTypes> m_created;
    std::array<std::optional<MessageName>, kMaxTypes> m_destroyed;
    std::uint32_t m_currentTypeId = 0;
    int m_nextTypeId = 0;
};

// The one registry of the process, built on first use.
ComponentRegistry& GetComponentRegistry();

} // namespace Quarn
