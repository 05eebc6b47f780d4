#pragma once

#include "Script/LuaBasicBind.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaColor.h"
#include "Script/LuaConvert.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"
#include "widgets/Controls/Base.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <concepts>
#include <functional>
#include <type_traits>
#include <typeinfo>

// How widgets reach scripts: one binding per bound class, whose method table holds the class's own
// methods and then its bases'. A widget's Lua object knows the kind of thing it stands for; any control
// fits a control parameter and another kind is a Lua error. Every Lua object ever made for a control goes
// inert when the control is destroyed: its methods do nothing and answer nil, false or 0.

namespace Gui
{
struct Font;
namespace Event
{
class Caller;
class Handler;
} // namespace Event
namespace Skin
{
class Base;
}
namespace Controls
{
class Canvas;
class WindowControl;
class HorizontalSlider;
class Button;
class ListBox;
class Label;
class CheckBox;
class CheckBoxWithLabel;
class LabelClickable;
class TreeNode;
class PropertyTreeNode;
class TreeControl;
class PropertyTree;
class Properties;
class PropertyRow;
class PanelListPanel;
class ImagePanel;
class ScrollControl;
namespace Layout
{
class TableRow;
}
namespace Property
{
class Base;
}
} // namespace Controls
} // namespace Gui

class ListBoxRow;

namespace Quarn
{

class GuiSerializer;

enum class WidgetKind
{
    Control,
    Font,
    Skin,
    Caller,
    Handler,
    Inspector,
};

class WidgetBind : public LuaBasicBind
{
public:
    WidgetBind(RegisterCallback callback, WidgetKind kind, const char* name);

    WidgetKind Kind() const { return m_kind; }
    const char* Name() const { return m_name; }
    // Pushes the object's Lua object of this class (nil for null), remembering it with the object's
    // other Lua objects.
    void Push(lua_State* state, void* object);
    // The binding of a widget's Lua object, or null for any other value.
    static const WidgetBind* Of(lua_State* state, int index);

protected:
    void Register(lua_State* state) override;

private:
    WidgetKind m_kind;
    const char* m_name;
};

// The binding whose method table is being filled: registration callbacks add to it.
WidgetBind& RegisteringWidgetBind();

// Makes every Lua object of the object inert (its methods do nothing) and forgets its identity.
void ReleaseWidgetObjects(lua_State* state, const void* object);

// The binding of each bound class.
template <class T> WidgetBind& BindOf();
template <> WidgetBind& BindOf<Gui::Controls::Base>();
template <> WidgetBind& BindOf<Gui::Controls::Canvas>();
template <> WidgetBind& BindOf<Gui::Controls::WindowControl>();
template <> WidgetBind& BindOf<Gui::Controls::HorizontalSlider>();
template <> WidgetBind& BindOf<Gui::Controls::Button>();
template <> WidgetBind& BindOf<Gui::Controls::ListBox>();
template <> WidgetBind& BindOf<Gui::Controls::Label>();
template <> WidgetBind& BindOf<Gui::Controls::CheckBox>();
template <> WidgetBind& BindOf<Gui::Controls::CheckBoxWithLabel>();
template <> WidgetBind& BindOf<Gui::Controls::LabelClickable>();
template <> WidgetBind& BindOf<Gui::Controls::TreeNode>();
template <> WidgetBind& BindOf<Gui::Controls::PropertyTreeNode>();
template <> WidgetBind& BindOf<Gui::Controls::TreeControl>();
template <> WidgetBind& BindOf<Gui::Controls::PropertyTree>();
template <> WidgetBind& BindOf<Gui::Controls::Properties>();
template <> WidgetBind& BindOf<Gui::Controls::PropertyRow>();
template <> WidgetBind& BindOf<Gui::Controls::PanelListPanel>();
template <> WidgetBind& BindOf<Gui::Controls::ImagePanel>();
template <> WidgetBind& BindOf<::ListBoxRow>();
template <> WidgetBind& BindOf<Gui::Controls::Layout::TableRow>();
template <> WidgetBind& BindOf<Gui::Controls::ScrollControl>();
template <> WidgetBind& BindOf<Gui::Controls::Property::Base>();
template <> WidgetBind& BindOf<Gui::Font>();
template <> WidgetBind& BindOf<Gui::Skin::Base>();
template <> WidgetBind& BindOf<Gui::Event::Caller>();
template <> WidgetBind& BindOf<Gui::Event::Handler>();
template <> WidgetBind& BindOf<GuiSerializer>();

template <class T> constexpr WidgetKind KindOf()
{
    if constexpr (std::is_base_of_v<Gui::Controls::Base, T>)
        return WidgetKind::Control;
    else if constexpr (std::is_same_v<T, Gui::Font>)
        return WidgetKind::Font;
    else if constexpr (std::is_same_v<T, Gui::Skin::Base>)
        return WidgetKind::Skin;
    else if constexpr (std::is_same_v<T, Gui::Event::Caller>)
        return WidgetKind::Caller;
    else if constexpr (std::is_same_v<T, GuiSerializer>)
        return WidgetKind::Inspector;
    else
        return WidgetKind::Handler;
}

// The object of the kind at index: null for nil and for a Lua object whose object is gone; any other
// value is a Lua error.
void* ReadWidgetObject(lua_State* state, int index, WidgetKind kind);

template <class T> T* ReadWidget(lua_State* state, int index)
{
    void* object = ReadWidgetObject(state, index, KindOf<T>());
    if constexpr (std::is_base_of_v<Gui::Controls::Base, T>)
        return dynamic_cast<T*>(static_cast<Gui::Controls::Base*>(object));
    else
        return static_cast<T*>(object);
}

template <class T> void PushWidget(lua_State* state, T* object)
{
    if constexpr (std::is_base_of_v<Gui::Controls::Base, T>)
        BindOf<T>().Push(state, static_cast<Gui::Controls::Base*>(object));
    else
        BindOf<T>().Push(state, object);
}

template <class T>
concept WidgetClass = std::is_base_of_v<Gui::Controls::Base, T> || std::is_same_v<T, Gui::Font> ||
    std::is_same_v<T, Gui::Skin::Base> || std::is_same_v<T, Gui::Event::Caller> ||
    std::is_same_v<T, Gui::Event::Handler> || std::is_same_v<T, GuiSerializer>;

// A number for an integer parameter: truncated and kept within the int range (NaN reads 0).
int LuaToClampedInt(lua_State* state, int index);
int ClampToInt(float value);

// The stack place of an argument, for a method that keeps the Lua value itself.
struct LuaStackValue
{
    int index = 0;
};

// Any value's address (a userdata's, table's, function's or thread's; null for others), and a
// pointer pushed as a light userdata.
struct LuaAddress
{
    void* pointer = nullptr;
};

namespace WidgetDetail
{

template <typename P> struct Argument
{
    using Stored = std::remove_cvref_t<P>;
    static Stored Read(lua_State* state, int index)
    {
        if constexpr (std::is_same_v<Stored, int>)
            return LuaToClampedInt(state, index);
        else
            return LuaConverter<Stored>::Read(state, index);
    }
};

template <typename R> int PushDefault(lua_State* state)
{
    if constexpr (std::is_void_v<R>)
        return 0;
    else if constexpr (std::is_same_v<std::remove_cvref_t<R>, bool>)
        lua_pushboolean(state, 0);
    else if constexpr (std::is_arithmetic_v<std::remove_cvref_t<R>>)
        lua_pushinteger(state, 0);
    else
        lua_pushnil(state);
    return 1;
}

template <typename R, typename... A, typename Call, std::size_t... I>
int Invoke(lua_State* state, Call&& call, std::index_sequence<I...>)
{
    std::tuple<typename Argument<A>::Stored...> arguments{
        Argument<A>::Read(state, 2 + static_cast<int>(I))...};
    if constexpr (std::is_void_v<R>)
    {
        call(std::move(std::get<I>(arguments))...);
        return 0;
    }
    else
    {
        // A method with a result counts as a Lua call while it runs.
        const LuaCallDepthScope depth;
        LuaResult<R>::Push(state, call(std::move(std::get<I>(arguments))...));
        return 1;
    }
}

template <typename R, typename Tuple> struct Invoker;
template <typename R, typename... A> struct Invoker<R, std::tuple<A...>>
{
    template <typename Call> static int Run(lua_State* state, Call&& call)
    {
        return Invoke<R, A...>(state, std::forward<Call>(call), std::index_sequence_for<A...>());
    }
};

// The self of a method of class X: a Lua error for an object of another kind; null (the method does
// nothing) when the object is gone, is not an X, or is missing (a call with a dot).
template <class X> X* Self(lua_State* state)
{
    return ReadWidget<X>(state, 1);
}

template <class X, class F> int Thunk(lua_State* state)
{
    return LuaBoundary(
        state,
        [state]() -> int
        {
            const F& function = *static_cast<const F*>(lua_touserdata(state, lua_upvalueindex(1)));
            using Traits = LuaDetail::MethodTraits<F>;
            X* self = Self<X>(state);
            if (!self)
                return PushDefault<typename Traits::Result>(state);
            return Invoker<typename Traits::Result, typename Traits::Arguments>::Run(
                state,
                [self, &function](auto&&... arguments) -> decltype(auto)
                {
                    if constexpr (std::is_member_function_pointer_v<F>)
                        return std::invoke(function, self, std::forward<decltype(arguments)>(arguments)...);
                    else
                        return function(*self, std::forward<decltype(arguments)>(arguments)...);
                });
        });
}

} // namespace WidgetDetail

// Adds methods of class X (member functions, or free functions whose first parameter is an X&) to the
// method table being registered, as (function, "Name") pairs.
template <class X> void WidgetMethods(lua_State*) {}
template <class X, class F, class... Rest>
void WidgetMethods(lua_State* state, F function, const char* name, Rest... rest)
{
    RegisteringWidgetBind().PushMethodTable(state);
    lua_pushstring(state, name);
    new (lua_newuserdata(state, sizeof(F))) F(function);
    lua_pushcclosure(state, &WidgetDetail::Thunk<X, F>, 1);
    lua_rawset(state, -3);
    lua_pop(state, 1);
    WidgetMethods<X>(state, rest...);
}

template <WidgetClass T> struct LuaConverter<T*>
{
    static T* Read(lua_State* state, int index) { return ReadWidget<T>(state, index); }
    static void Push(lua_State* state, T* object) { PushWidget(state, object); }
};

template <> struct LuaConverter<Gui::Padding>
{
    static Gui::Padding Read(lua_State* state, int index);
    static void Push(lua_State* state, const Gui::Padding& padding);
};

template <> struct LuaConverter<Gui::Margin>
{
    static Gui::Margin Read(lua_State* state, int index);
    static void Push(lua_State* state, const Gui::Margin& margin)
    {
        LuaConverter<Gui::Padding>::Push(state, margin);
    }
};

template <> struct LuaConverter<Gui::Color>
{
    static Gui::Color Read(lua_State* state, int index);
    static void Push(lua_State* state, const Gui::Color& colour);
};

template <> struct LuaConverter<LuaStackValue>
{
    static LuaStackValue Read(lua_State*, int index) { return {index}; }
};

template <> struct LuaConverter<LuaAddress>
{
    static LuaAddress Read(lua_State* state, int index)
    {
        return {const_cast<void*>(lua_topointer(state, index))};
    }
    static void Push(lua_State* state, LuaAddress address) { lua_pushlightuserdata(state, address.pointer); }
};

} // namespace Quarn
