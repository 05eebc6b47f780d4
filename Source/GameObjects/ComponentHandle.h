#pragma once

#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectHandle.h"
#include "GameObjects/GameObjectManager.h"
#include "Script/LuaMethods.h"
#include "Script/LuaPrimitiveBind.h"

#include <typeinfo>

namespace Quarn
{

// What scripts hold of a component: its owner's id and slot. Every call finds the owner again and
// takes its component of type X, so a handle outlives replacement of the component and does nothing
// once the owner is gone. Component classes give it methods with a static
// RegisterLuaMethods(lua_State*) of their own, listing free functions that take ComponentHandle<X>&.
template <class X> struct ComponentHandle
{
    static LuaPrimitiveBind& GetLuaBind()
    {
        static LuaPrimitiveBind bind(typeid(ComponentHandle<X>), &Register);
        return bind;
    }

    // The component while the owner exists and is in play, else null.
    X* Resolve() const
    {
        GameObjectManager* manager = GameObjectManager::Current();
        GameObject* owner = manager ? manager->Resolve(m_owner) : nullptr;
        return owner && owner->IsLive() ? owner->template Get<X>() : nullptr;
    }

    static void Push(lua_State* state, const GameObjectHandle& owner)
    {
        void** block = GetLuaBind().PushValueBlock(state);
        *block = new ComponentHandle<X>{owner};
    }

    GameObjectHandle m_owner;

private:
    static bool Exists(ComponentHandle<X>& self) { return self.Resolve() != nullptr; }

    static void Collect(void* handle) { delete static_cast<ComponentHandle<X>*>(handle); }

    static void Register(lua_State* state)
    {
        LuaMethods<ComponentHandle<X>>(state, LuaMethod<&Exists>("Exists"));
        GetLuaBind().SetCollector(&Collect);
        if constexpr (requires { X::RegisterLuaMethods(state); })
            X::RegisterLuaMethods(state);
    }
};

// A component handle as an argument: another component's handle of the same type, else an argument
// error naming the component type.
template <class X> struct LuaConverter<ComponentHandle<X>>
{
    static ComponentHandle<X> Read(lua_State* state, int index)
    {
        const void* value = ComponentHandle<X>::GetLuaBind().ToValue(state, index);
        if (!value)
            LuaArgumentError(state, index, X::kTypeName);
        return *static_cast<const ComponentHandle<X>*>(value);
    }
};

} // namespace Quarn
