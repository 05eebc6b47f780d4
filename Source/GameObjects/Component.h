#pragma once

#include "GameObjects/GameObjectHandle.h"
#include "Resources/Serializeable.h"
#include "Script/LuaPolymorphicBase.h"

#include <cstdint>

namespace Quarn
{

class GameObject;

// Base of every component: a part of one game object, owned by it, serializable, cloneable, and
// pushed to Lua as a handle of its most-derived class (nil without an owner). Systems learn of
// components only through the "Created"/"Destroyed" messages their objects send.
class Component : public Serializeable, public LuaPolymorphicBase
{
public:
    Component() = default;
    // A copy belongs to no object until it is placed in one, and has not been announced.
    Component(const Component&) : Serializeable(), LuaPolymorphicBase() {}
    Component& operator=(const Component&) = delete;
    ~Component() override = default;

    // Remembers the owner and its handle, so a handle of the component stays valid only while the
    // owner does.
    virtual void SetOwner(GameObject* owner);
    virtual const char* GetTypeName() const = 0;
    virtual Component* Clone() const = 0;

    GameObject* GetOwner() const { return m_owner; }
    const GameObjectHandle& GetOwnerHandle() const { return m_ownerHandle; }

    // Set between the component's "Created" and its "Destroyed" message, so neither is sent twice in
    // a row whatever path the object takes (removal, restore, destruction, reset).
    bool IsAnnounced() const { return m_announced; }
    void SetAnnounced(bool announced) { m_announced = announced; }

    // A number no other component of the run has: it tells this component from one made later in its
    // place (which may take its address).
    std::uint64_t Serial() const { return m_serial; }

private:
    static std::uint64_t NextSerial();

    GameObject* m_owner = nullptr;
    GameObjectHandle m_ownerHandle;
    bool m_announced = false;
    // A copy is a component of its own, with a serial of its own.
    std::uint64_t m_serial = NextSerial();
};

} // namespace Quarn
