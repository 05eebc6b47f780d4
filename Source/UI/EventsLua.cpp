#include "Script/LuaConvert.h"
#include "UI/WidgetLua.h"
#include "widgets/Events.h"

// Widget events as scripts reach them: a caller's "Add" links a Lua function, run with no arguments each
// time the event fires.

namespace Quarn
{

namespace
{

// The handler that runs a Lua function. It goes with its last caller (a handler of nothing runs nothing),
// and does nothing once the Lua state it came from is closed.
class LuaEventHandler final : public Gui::Event::Handler
{
public:
    // Holds the value at index of the calling thread's stack (a coroutine's, perhaps); a value that is
    // no function fails, and is reported, when the event fires.
    LuaEventHandler(lua_State* calling, int index) : m_function(LuaFunctionFromStack(calling, index)) {}

    void OnEvent(Gui::Controls::Base* /*control*/)
    {
        // The function of a closed state is no longer there: nothing is called.
        if (const int handler = m_function.PushCall())
            m_function.PCall(0, handler);
    }

    void OnCallerDestroyed(Gui::Event::Caller* caller) override
    {
        Handler::OnCallerDestroyed(caller);
        if (Callers().empty())
            delete this;
    }

private:
    LuaFunction m_function;
};

// Drops the handler from the caller and deletes it: a control (every control is a handler) through its
// canvas's delayed delete, so that a script may remove a control from inside that control's own event.
void RemoveHandler(Gui::Event::Caller& caller, LuaStackValue value)
{
    lua_State* state = value.state;
    const WidgetBind* bind = WidgetBind::Of(state, value.index);
    if (!bind || (bind->Kind() != WidgetKind::Control && bind->Kind() != WidgetKind::Handler))
        LuaArgumentError(state, value.index, "event handler");
    void* object = LuaToObject(state, value.index);
    if (!object)
        return;
    if (bind->Kind() == WidgetKind::Handler)
    {
        caller.RemoveHandler(static_cast<Gui::Event::Handler*>(object));
        return;
    }
    auto* control = static_cast<Gui::Controls::Base*>(object);
    control->UnRegisterCaller(&caller);
    caller.ErasePairsOf(control);
    if (control->GetCanvas())
        control->DelayedDelete();
    else
        delete control;
}

void RegisterCallerMethods(lua_State* state)
{
    WidgetMethods<Gui::Event::Caller>(
        state,
        +[](Gui::Event::Caller& caller, LuaStackValue function)
        { caller.Add(new LuaEventHandler(function.state, function.index), &LuaEventHandler::OnEvent); },
        "Add", +[](Gui::Event::Caller& caller, Gui::Controls::Base* control) { caller.Call(control); },
        "Call", &RemoveHandler, "RemoveHandler");
}

void RegisterHandlerMethods(lua_State* state)
{
    WidgetMethods<Gui::Event::Handler>(
        state,
        +[](Gui::Event::Handler& handler, Gui::Event::Caller* caller)
        {
            if (caller)
                handler.RegisterCaller(caller);
        },
        "RegisterCaller",
        +[](Gui::Event::Handler& handler, Gui::Event::Caller* caller)
        {
            if (caller)
                handler.UnRegisterCaller(caller);
        },
        "UnRegisterCaller");
}

} // namespace

template <> WidgetBind& BindOf<Gui::Event::Caller>()
{
    static WidgetBind bind(&RegisterCallerMethods, WidgetKind::Caller, "Caller");
    return bind;
}

template <> WidgetBind& BindOf<Gui::Event::Handler>()
{
    static WidgetBind bind(&RegisterHandlerMethods, WidgetKind::Handler, "Handler");
    return bind;
}

} // namespace Quarn
