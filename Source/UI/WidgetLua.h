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
    // The class as scripts read it in errors ("Button expected").
    const char* Name() const { return m_name; }
    // Pushes the object's Lua object of this class (nil for null), remembering it with the object's
    // other Lua objects, and with the owner's when the object is a part of a control (its event). Nil
    // too when the control, or the owner, goes while its object is being made.
    void Push(lua_State* state, void* object, Gui::Controls::Base* owner = nullptr);
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

// Makes every Lua object of the object, and of its parts, inert (their methods do nothing) and forgets
// their identities.
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

template <class T>
concept WidgetClass = std::is_base_of_v<Gui::Controls::Base, T> || std::is_same_v<T, Gui::Font> ||
    std::is_same_v<T, Gui::Skin::Base> || std::is_same_v<T, Gui::Event::Caller> ||
    std::is_same_v<T, Gui::Event::Handler> || std::is_same_v<T, GuiSerializer>;

// The object held by the Lua object at index when it is one of the kind: null once its widget is gone.
// Any other value is a Lua error naming what was expected.
void* ReadWidgetObject(lua_State* state, int index, WidgetKind kind, const char* expected);

// A widget as an argument: null for nil; stale when the Lua object's widget is gone (the call then
// does nothing). Reading the arguments after it may run a script's finalizer, which may delete a
// control: a control is watched until the call.
template <class T> struct WidgetArgument
{
    T* object = nullptr;
    bool stale = false;
    Gui::Controls::Ref<Gui::Controls::Base> control;

    // Whether the widget named is gone, now or when it was read.
    bool Gone() const
    {
        if constexpr (std::is_base_of_v<Gui::Controls::Base, T>)
            return stale || (object && !control);
        else
            return stale;
    }
};

// Reads an object of class T: nil reads null, any other kind of value, or a control of another class, is
// a Lua error naming T.
template <WidgetClass T>
WidgetArgument<T> ReadWidgetArgument(lua_State* state, int index, const char* expected)
{
    if (lua_isnoneornil(state, index))
        return {};
    void* object = ReadWidgetObject(state, index, KindOf<T>(), expected);
    if (!object)
        return {nullptr, true};
    if constexpr (std::is_base_of_v<Gui::Controls::Base, T>)
    {
        auto* typed = dynamic_cast<T*>(static_cast<Gui::Controls::Base*>(object));
        if (!typed)
            LuaArgumentError(state, index, expected);
        return {typed, false, typed};
    }
    else
        return {static_cast<T*>(object), false};
}

template <WidgetClass T> WidgetArgument<T> ReadWidgetArgument(lua_State* state, int index)
{
    return ReadWidgetArgument<T>(state, index, BindOf<T>().Name());
}

template <class T> void PushWidget(lua_State* state, T* object)
{
    if constexpr (std::is_base_of_v<Gui::Controls::Base, T>)
        BindOf<T>().Push(state, static_cast<Gui::Controls::Base*>(object));
    else
        BindOf<T>().Push(state, object);
}

// An event of a control: its Lua object goes inert with the control.
struct ControlEvent
{
    Gui::Controls::Base* control;
    Gui::Event::Caller* caller;
};

// Script numbers for geometry, kept where no sum of them overflows an int: positions and moves within
// -1,000,000..1,000,000, sizes (and paddings) within 0..1,000,000; NaN is 0.
inline constexpr double kGeometryLimit = 1000000.0;
int ClampToGeometry(double value, double low);

struct Coordinate
{
    int value;
    operator int() const { return value; }
};

struct Extent
{
    int value;
    operator int() const { return value; }
};

// A number for an integer parameter: truncated and kept within the int range (NaN reads 0).
int LuaToClampedInt(lua_State* state, int index);

// The stack place of an argument (in the calling thread, perhaps a coroutine), for a method that keeps
// the Lua value itself.
struct LuaStackValue
{
    lua_State* state = nullptr;
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

// How a parameter is read. A widget pointer may be nil (null); a widget reference needs one. Either is
// stale when its widget is gone, and the call is then skipped.
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
    static Stored&& Pass(Stored& value) { return std::move(value); }
    static bool Stale(const Stored&) { return false; }
};

template <WidgetClass T> struct Argument<T*>
{
    using Stored = WidgetArgument<T>;
    static Stored Read(lua_State* state, int index) { return ReadWidgetArgument<T>(state, index); }
    static T* Pass(const Stored& value) { return value.object; }
    static bool Stale(const Stored& value) { return value.Gone(); }
};

template <WidgetClass T> struct Argument<T&>
{
    using Stored = WidgetArgument<T>;
    static Stored Read(lua_State* state, int index)
    {
        if (lua_isnoneornil(state, index))
            LuaArgumentError(state, index, BindOf<T>().Name());
        return ReadWidgetArgument<T>(state, index);
    }
    static T& Pass(const Stored& value) { return *value.object; }
    static bool Stale(const Stored& value) { return value.Gone(); }
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

// Reads the arguments, then makes the call, unless the method's own widget (gone) or a widget argument
// is gone by then.
template <typename R, typename... A, typename Gone, typename Call, std::size_t... I>
int Invoke(lua_State* state, int firstIndex, const Gone& gone, Call&& call, std::index_sequence<I...>)
{
    // Braced initialisation reads the arguments in order.
    std::tuple<typename Argument<A>::Stored...> arguments{
        Argument<A>::Read(state, firstIndex + static_cast<int>(I))...};
    if (gone() || (Argument<A>::Stale(std::get<I>(arguments)) || ...))
        return PushDefault<R>(state);
    if constexpr (std::is_void_v<R>)
    {
        call(Argument<A>::Pass(std::get<I>(arguments))...);
        return 0;
    }
    else
    {
        // A method with a result counts as a Lua call while it runs.
        const LuaCallDepthScope depth;
        // A result referring into the widget (its name) is copied first: pushing it may run a finalizer
        // that deletes the widget.
        using Result = std::conditional_t<std::is_reference_v<R> && !WidgetClass<std::remove_cvref_t<R>>,
                                          std::remove_cvref_t<R>, R>;
        LuaResult<Result>::Push(state, Result(call(Argument<A>::Pass(std::get<I>(arguments))...)));
        return 1;
    }
}

template <typename R, typename Tuple> struct Invoker;
template <typename R, typename... A> struct Invoker<R, std::tuple<A...>>
{
    template <typename Gone, typename Call>
    static int Run(lua_State* state, int firstIndex, const Gone& gone, Call&& call)
    {
        return Invoke<R, A...>(state, firstIndex, gone, std::forward<Call>(call),
                               std::index_sequence_for<A...>());
    }
};

// Upvalue 1 of a method: the function, and the binding whose table holds it (named in errors).
template <class F> struct MethodBlock
{
    F function;
    const WidgetBind* table;
};

// The self of a method of class X: a missing self, another kind of value or a control that is no X is
// a Lua error naming the class of the method's table; null (the method does nothing) when the object is
// gone.
template <class X> X* Self(lua_State* state, const WidgetBind& table)
{
    if (lua_isnoneornil(state, 1))
        LuaArgumentError(state, 1, table.Name());
    return ReadWidgetArgument<X>(state, 1, table.Name()).object;
}

template <class X, class F> int Thunk(lua_State* state)
{
    return LuaBoundary(
        state,
        [state]() -> int
        {
            const auto& block =
                *static_cast<const MethodBlock<F>*>(lua_touserdata(state, lua_upvalueindex(1)));
            using Traits = LuaDetail::MethodTraits<F>;
            X* self = Self<X>(state, *block.table);
            if (!self)
                return PushDefault<typename Traits::Result>(state);
            // Reading the arguments may run a finalizer that deletes a control.
            Gui::Controls::Ref<Gui::Controls::Base> control;
            if constexpr (std::is_base_of_v<Gui::Controls::Base, X>)
                control = self;
            return Invoker<typename Traits::Result, typename Traits::Arguments>::Run(
                state, 2, [&control] { return std::is_base_of_v<Gui::Controls::Base, X> && !control; },
                [self, &block](auto&&... arguments) -> decltype(auto)
                {
                    if constexpr (std::is_member_function_pointer_v<F>)
                        return std::invoke(block.function, self,
                                           std::forward<decltype(arguments)>(arguments)...);
                    else
                        return block.function(*self, std::forward<decltype(arguments)>(arguments)...);
                });
        });
}

template <class F> int FunctionThunk(lua_State* state)
{
    return LuaBoundary(state,
                       [state]() -> int
                       {
                           const F function =
                               *static_cast<const F*>(lua_touserdata(state, lua_upvalueindex(1)));
                           using Traits = LuaDetail::FunctionTraits<F>;
                           return Invoker<typename Traits::Result, typename Traits::Arguments>::Run(
                               state, 1, [] { return false; },
                               [function](auto&&... arguments) -> decltype(auto)
                               { return function(std::forward<decltype(arguments)>(arguments)...); });
                       });
}

} // namespace WidgetDetail

// Adds methods of class X (member functions, or free functions whose first parameter is an X&) to the
// method table being registered, as (function, "Name") pairs.
template <class X> void WidgetMethods(lua_State*) {}
template <class X, class F, class... Rest>
void WidgetMethods(lua_State* state, F function, const char* name, Rest... rest)
{
    WidgetBind& table = RegisteringWidgetBind();
    table.PushMethodTable(state);
    lua_pushstring(state, name);
    new (lua_newuserdata(state, sizeof(WidgetDetail::MethodBlock<F>)))
        WidgetDetail::MethodBlock<F>{function, &table};
    lua_pushcclosure(state, &WidgetDetail::Thunk<X, F>, 1);
    lua_rawset(state, -3);
    lua_pop(state, 1);
    WidgetMethods<X>(state, rest...);
}

// Pushes a plain function (called with a dot) that reads widget arguments as methods do.
template <typename R, typename... A> void PushWidgetFunction(lua_State* state, R (*function)(A...))
{
    using F = R (*)(A...);
    new (lua_newuserdata(state, sizeof(F))) F(function);
    lua_pushcclosure(state, &WidgetDetail::FunctionThunk<F>, 1);
}

template <WidgetClass T> struct LuaConverter<T*>
{
    static T* Read(lua_State* state, int index) { return ReadWidgetArgument<T>(state, index).object; }
    static void Push(lua_State* state, T* object) { PushWidget(state, object); }
};

template <WidgetClass T> struct LuaConverter<WidgetArgument<T>>
{
    static WidgetArgument<T> Read(lua_State* state, int index) { return ReadWidgetArgument<T>(state, index); }
};

template <> struct LuaConverter<ControlEvent>
{
    static void Push(lua_State* state, const ControlEvent& event);
};

template <> struct LuaConverter<Coordinate>
{
    static Coordinate Read(lua_State* state, int index)
    {
        return {ClampToGeometry(lua_tonumber(state, index), -kGeometryLimit)};
    }
};

template <> struct LuaConverter<Extent>
{
    static Extent Read(lua_State* state, int index)
    {
        return {ClampToGeometry(lua_tonumber(state, index), 0.0)};
    }
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
    static LuaStackValue Read(lua_State* state, int index) { return {state, index}; }
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
