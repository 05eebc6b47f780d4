#pragma once

#include "Core/SizedPool.h"
#include "GameObjects/Component.h"
#include "GameObjects/ComponentHandle.h"

#include <cstddef>

namespace Quarn
{

// The template every component class X derives through: its type name (X::kTypeName), its type id
// (written once when the type is registered), cloning by copy construction, and blocks from the pool
// of X's size.
template <class X> class ComponentT : public Component
{
public:
    static constexpr int kUnregistered = -1;

    static int TypeId() { return s_typeId; }
    static void SetTypeId(int typeId) { s_typeId = typeId; }

    const char* GetTypeName() const override { return X::kTypeName; }
    Component* Clone() const override { return new X(static_cast<const X&>(*this)); }
    void PushLua(lua_State* state) override
    {
        if (GetOwner())
            ComponentHandle<X>::Push(state, GetOwnerHandle());
        else
            lua_pushnil(state);
    }

    static void* operator new(std::size_t) { return SizedPool<sizeof(X)>::AllocateOrThrow(); }
    static void operator delete(void* block) { SizedPool<sizeof(X)>::Release(block); }

private:
    static inline int s_typeId = kUnregistered;
};

} // namespace Quarn
