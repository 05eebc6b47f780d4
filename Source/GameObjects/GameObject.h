#pragma once

#include "GameObjects/ComponentRegistry.h"
#include "GameObjects/GameObjectHandle.h"
#include "Resources/Serializeable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct lua_State;

namespace Quarn
{

class Component;
struct LuaGameObjectHandle;

// The unit of game content: at most one component per registered type, in slots indexed by type id.
// Built not live, filled from a prototype, a file or a copy, then registered by the manager, which
// gives it a handle and makes it live; only a live object announces its components.
class GameObject : public Serializeable
{
public:
    static constexpr int kSlots = ComponentRegistry::kMaxTypes;

    GameObject() = default;
    // Clones every component of the source and keeps its handle; no archetypes, not live.
    GameObject(const GameObject& source);
    // Replaces every component by a clone of the source's (announced when this object is live); the
    // archetypes and the handle stay.
    GameObject& operator=(const GameObject& source);
    ~GameObject() override;

    static void* operator new(std::size_t size);
    static void operator delete(void* block);

    // Attaches, replaces (component) or removes (null) the component of one type; on a live object
    // only, announcing the old one's end and the new one's start. A change of the slot asked by a
    // listener of those announcements is dropped (and logged).
    void SetComponent(int typeId, Component* component, const char* typeName);
    Component* GetComponent(int typeId) const;
    template <class X> X* Get() const
    {
        return ComponentRegistry::IsValidId(X::TypeId()) ? static_cast<X*>(GetComponent(X::TypeId()))
                                                         : nullptr;
    }

    void SetOwners();
    // "Created"/"Destroyed" + type name for every component, in type-id order.
    void SendCreatedMessages();
    void SendDestroyedMessages();
    void RegisterComponents();
    void UnregisterComponents();

    void SetArchetype(const std::string& name) { m_archetypes = {name}; }
    std::vector<std::string>& Archetypes() { return m_archetypes; }
    const std::vector<std::string>& Archetypes() const { return m_archetypes; }

    const GameObjectHandle& GetHandle() const { return m_handle; }
    void SetHandle(const GameObjectHandle& handle) { m_handle = handle; }
    bool IsLive() const { return m_live; }
    void SetLive(bool live) { m_live = live; }

    // The archetype list, then one group per component named by its type.
    bool Serialize(Serializer& serializer) override;

    // Lua. The object's handle, with the object's table of script fields and components. The handle
    // and the component fields are made on the first push, so an object no script touches costs Lua
    // nothing.
    void PushLua(lua_State* state);
    // Sets (component) or clears (null) the field of a component type in the object's Lua table.
    void SetLuaField(const char* typeName, Component* component);
    // Components of the type are also reached by this field of their object's table.
    static void AddLuaFieldAlias(const char* typeName, const char* field);
    void ClearLuaFields();
    bool HasLuaIdentity() const { return m_luaRecord != nullptr; }
    // The handle's record is going with its userdata.
    void ForgetLuaRecord(const LuaGameObjectHandle* record);

private:
    void SerializeSlot(Serializer& serializer, std::size_t slot);
    // The object is going: its handle no longer names it.
    void DropLuaIdentity();
    // Writes the field of every component into the Lua table at index.
    void FillLuaFields(lua_State* state, int index);
    static void Announce(Component& component, MessageName name);

    std::vector<std::string> m_archetypes;
    GameObjectHandle m_handle;
    std::array<Component*, kSlots> m_components{};
    bool m_live = false;
    // The slots whose change SetComponent is announcing, one bit per slot.
    std::uint16_t m_changingSlots = 0;
    static_assert(kSlots <= 16);
    // Made on the first push to Lua, owned by the handle's userdata.
    LuaGameObjectHandle* m_luaRecord = nullptr;
    // The components belong in the Lua table: from registration until destruction.
    bool m_luaFields = false;
};

} // namespace Quarn
