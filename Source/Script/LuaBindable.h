#pragma once

#include "Script/LuaBasicBind.h"
#include "Script/LuaConvert.h"
#include "Script/LuaExtensibleBind.h"
#include "Script/LuaPolymorphicBase.h"
#include "Script/LuaTypePushers.h"

#include <type_traits>
#include <typeinfo>
#include <utility>

namespace Quarn
{

// The binding object of class X, made on first use and kept until the process ends. callback fills
// the method table. A class may declare, as static members:
//   kLuaRaisesCallDepth = false   its methods do not count as a Lua call (see LuaBindBase);
//   kLuaGlobalName                the global that publishes the method table of an extensible class.
// Messages carrying an X* reach Lua listeners as the object.
template <typename Bind, typename X> Bind& LuaClassBinding(LuaBindBase::RegisterCallback callback)
{
    static Bind bind = [callback]() -> Bind
    {
        if constexpr (std::is_same_v<Bind, LuaExtensibleBind>)
            return Bind(typeid(X), callback, X::kLuaGlobalName);
        else
            return Bind(typeid(X), callback);
    }();
    static const bool configured = []
    {
        if constexpr (requires { X::kLuaRaisesCallDepth; })
            bind.SetRaisesLuaCallDepth(X::kLuaRaisesCallDepth);
        LuaTypePushers::Add(typeid(X*), [](lua_State* state, const void* data)
                            { LuaConverter<X*>::Push(state, *static_cast<X* const*>(data)); });
        return true;
    }();
    static_cast<void>(configured);
    return bind;
}

// Calls X::RegisterLuaMethods(state) when the class has one.
template <typename X> void LuaRegisterMethodsOf(lua_State* state)
{
    if constexpr (requires { X::RegisterLuaMethods(state); })
        X::RegisterLuaMethods(state);
}

// The base through which a class X gets its binding (GetLuaBind) and pushes itself as X.
template <typename Bind, typename X, typename Base = EmptyStruct>
class LuaBindableBase : public Base, public LuaPolymorphicBase, public LuaBound
{
public:
    // The binding exists from the first object on, so messages carrying an X* reach Lua listeners
    // before any script has used the class.
    template <typename... Args> explicit LuaBindableBase(Args&&... args) : Base(std::forward<Args>(args)...)
    {
        GetLuaBind();
    }

    static Bind& GetLuaBind() { return LuaClassBinding<Bind, X>(&LuaRegisterMethodsOf<X>); }
    void PushLua(lua_State* state) override { GetLuaBind().PushObject(state, static_cast<X*>(this)); }

protected:
    ~LuaBindableBase() = default;
};

template <typename X, typename Base = EmptyStruct>
class LuaBasicBindable : public LuaBindableBase<LuaBasicBind, X, Base>
{
public:
    using LuaBindableBase<LuaBasicBind, X, Base>::LuaBindableBase;
};

// A class X derived from a bound class B that scripts see as X, with methods of its own.
template <typename X, typename B> class LuaPolymorphicDerived : public B
{
public:
    template <typename... Args>
    explicit LuaPolymorphicDerived(Args&&... args) : B(std::forward<Args>(args)...)
    {
        GetLuaBind();
    }

    static LuaBasicBind& GetLuaBind() { return LuaClassBinding<LuaBasicBind, X>(&LuaRegisterMethodsOf<X>); }
    void PushLua(lua_State* state) override { GetLuaBind().PushObject(state, static_cast<X*>(this)); }
};

} // namespace Quarn
