#include "Input/Input.h"
#include "Input/InputNames.h"
#include "Input/ScriptCallback.h"
#include "Script/LuaFunctor.h"
#include "Script/LuaMethods.h"
#include "Script/LuaVector.h"

#include <string>

// The Lua face of the input system: the methods scripts call on "input", and the input constants.

namespace Quarn
{

namespace
{
// Numbers from scripts that index the input system's tables; each is checked on the way in.
struct PadNumber
{
    unsigned char value;
};
struct PadButtonNumber
{
    ControllerButtons value;
};
struct MouseButtonNumber
{
    MouseButtons value;
};
} // namespace

template <> struct LuaConverter<PadNumber>
{
    static PadNumber Read(lua_State* state, int index)
    {
        const std::int64_t pad = LuaToCharCode(state, index);
        if (pad < 0 || pad >= static_cast<std::int64_t>(kInputPads))
            LuaArgumentError(state, index, "pad number 0-3");
        return {static_cast<unsigned char>(pad)};
    }
};

template <> struct LuaConverter<PadButtonNumber>
{
    static PadButtonNumber Read(lua_State* state, int index)
    {
        const std::int64_t button = LuaToInteger(state, index);
        if (button < 0 || button >= XBOX_Count)
            LuaArgumentError(state, index, "pad button");
        return {static_cast<ControllerButtons>(button)};
    }
};

template <> struct LuaConverter<MouseButtonNumber>
{
    static MouseButtonNumber Read(lua_State* state, int index)
    {
        const std::int64_t button = LuaToInteger(state, index);
        if (button < 0 || button >= MOUSE_Count)
            LuaArgumentError(state, index, "mouse button");
        return {static_cast<MouseButtons>(button)};
    }
};

namespace
{
namespace Face
{

ScriptCallback<void()> PlainListener(const LuaFunction& function)
{
    return ScriptCallback<void()>(LuaFunctor<void()>(function));
}

ScriptCallback<void(KeyState)> StateListener(const LuaFunction& function)
{
    return ScriptCallback<void(KeyState)>([call = LuaFunctor<void(int)>(function)](KeyState state)
                                          { call(static_cast<int>(state)); });
}

ScriptCallback<void(const Vector2&)> PositionListener(const LuaFunction& function)
{
    return ScriptCallback<void(const Vector2&)>(LuaFunctor<void(Vector2)>(function));
}

ScriptCallback<void(const Vector2&, const Vector2&)> MoveListener(const LuaFunction& function)
{
    return ScriptCallback<void(const Vector2&, const Vector2&)>(LuaFunctor<void(Vector2, Vector2)>(function));
}

ScriptCallback<void(float, float)> TriggerListener(const LuaFunction& function)
{
    return ScriptCallback<void(float, float)>(LuaFunctor<void(float, float)>(function));
}

void ListenAnyKey(Input& input, LuaFunction function)
{
    input.ListenAnyKey(PlainListener(function));
}

void ListenControllerButton(Input& input, PadNumber pad, PadButtonNumber button, LuaFunction function)
{
    input.ListenControllerButton(pad.value, button.value, StateListener(function));
}

void ListenControllerButtonDown(Input& input, PadNumber pad, PadButtonNumber button, LuaFunction function)
{
    input.ListenControllerButtonDown(pad.value, button.value, PlainListener(function));
}

void ListenControllerButtonReleased(Input& input, PadNumber pad, PadButtonNumber button, LuaFunction function)
{
    input.ListenControllerButtonReleased(pad.value, button.value, PlainListener(function));
}

void ListenControllerButtonPressed(Input& input, PadNumber pad, PadButtonNumber button, LuaFunction function)
{
    input.ListenControllerButtonPressed(pad.value, button.value, PlainListener(function));
}

void ListenMouseWheel(Input& input, LuaFunction function)
{
    input.ListenMouseWheel(ScriptCallback<void(float)>(LuaFunctor<void(float)>(function)));
}

void ListenMouseButton(Input& input, MouseButtonNumber button, LuaFunction function)
{
    input.ListenMouseButton(button.value, ScriptCallback<void(KeyState, const Vector2&)>(
                                              [call = LuaFunctor<void(int, Vector2)>(function)](
                                                  KeyState state, const Vector2& position)
                                              { call(static_cast<int>(state), position); }));
}

void ListenMouseButtonDown(Input& input, MouseButtonNumber button, LuaFunction function)
{
    input.ListenMouseButtonDown(button.value, PositionListener(function));
}

void ListenMouseButtonReleased(Input& input, MouseButtonNumber button, LuaFunction function)
{
    input.ListenMouseButtonReleased(button.value, PositionListener(function));
}

void ListenMouseButtonPressed(Input& input, MouseButtonNumber button, LuaFunction function)
{
    input.ListenMouseButtonPressed(button.value, PositionListener(function));
}

void ListenMouseMove(Input& input, LuaFunction function)
{
    input.ListenMouseMove(MoveListener(function));
}

void ListenKeyboard(Input& input, unsigned char key, LuaFunction function)
{
    input.ListenKeyboard(key, StateListener(function));
}

void ListenKeyboardDown(Input& input, unsigned char key, LuaFunction function)
{
    input.ListenKeyboardDown(key, PlainListener(function));
}

void ListenKeyboardReleased(Input& input, unsigned char key, LuaFunction function)
{
    input.ListenKeyboardReleased(key, PlainListener(function));
}

void ListenKeyboardPressed(Input& input, unsigned char key, LuaFunction function)
{
    input.ListenKeyboardPressed(key, PlainListener(function));
}

void ListenControllerLThumbTapped(Input& input, PadNumber pad, LuaFunction function)
{
    input.ListenControllerLThumbTapped(pad.value, PlainListener(function));
}

void ListenControllerRThumbTapped(Input& input, PadNumber pad, LuaFunction function)
{
    input.ListenControllerRThumbTapped(pad.value, PlainListener(function));
}

void ListenControllerRTriggerTapped(Input& input, PadNumber pad, LuaFunction function)
{
    input.ListenControllerRTriggerTapped(pad.value, PlainListener(function));
}

void ListenControllerLTriggerTapped(Input& input, PadNumber pad, LuaFunction function)
{
    input.ListenControllerLTriggerTapped(pad.value, PlainListener(function));
}

void ListenControllerRTriggerMove(Input& input, PadNumber pad, LuaFunction function)
{
    input.ListenControllerRTriggerMove(pad.value, TriggerListener(function));
}

void ListenControllerLTriggerMove(Input& input, PadNumber pad, LuaFunction function)
{
    input.ListenControllerLTriggerMove(pad.value, TriggerListener(function));
}

void ListenControllerLTrigger(Input& input, PadNumber pad, LuaFunction function)
{
    input.ListenControllerLTrigger(pad.value, TriggerListener(function));
}

void ListenControllerRTrigger(Input& input, PadNumber pad, LuaFunction function)
{
    input.ListenControllerRTrigger(pad.value, TriggerListener(function));
}

void ListenControllerLThumb(Input& input, PadNumber pad, LuaFunction function)
{
    input.ListenControllerLThumb(pad.value, MoveListener(function));
}

void ListenControllerRThumb(Input& input, PadNumber pad, LuaFunction function)
{
    input.ListenControllerRThumb(pad.value, MoveListener(function));
}

Vector2 GetLThumb(Input& input, PadNumber pad)
{
    return input.GetLThumb(pad.value);
}

Vector2 GetRThumb(Input& input, PadNumber pad)
{
    return input.GetRThumb(pad.value);
}

float GetLTrigger(Input& input, PadNumber pad)
{
    return input.GetLTrigger(pad.value);
}

float GetRTrigger(Input& input, PadNumber pad)
{
    return input.GetRTrigger(pad.value);
}

// A script's rumble function is called with the frame time and false; its first result is the strength.
// Once its Lua state is gone it ends. A type that is none of the three (after truncation) registers
// nothing; it is checked while it is still the script's number, so NaN, infinities and numbers past any
// integer's range never reach a conversion.
void Rumble(Input& input, PadNumber pad, LuaFunction function, double type)
{
    if (!(type > -1.0 && type < static_cast<double>(kRumbleTypes)))
        return;
    input.Rumble(pad.value,
                 ScriptCallback<float(float, bool&)>(
                     [function](float dt, bool& done) -> float
                     {
                         const int handler = function.PushCall();
                         if (handler == 0)
                         {
                             done = true;
                             return 0.0f;
                         }
                         lua_State* state = CurrentLuaState();
                         lua_pushnumber(state, dt);
                         lua_pushboolean(state, 0);
                         return function.PCallNumber(2, handler);
                     }),
                 static_cast<RumbleType>(static_cast<int>(type)));
}

// Sets each name to its value in the table on top of the stack, with raw sets.
void SetIntegers(lua_State* state, std::span<const InputName> names)
{
    for (const InputName& entry : names)
    {
        lua_pushstring(state, entry.name);
        lua_pushinteger(state, entry.value);
        lua_rawset(state, -3);
    }
}
} // namespace Face
} // namespace

void Input::RegisterLuaMethods(lua_State* state)
{
    LuaMethods<Input>(
        state, LuaMethod<&Face::ListenAnyKey>("ListenAnyKey"), LuaMethod<&Input::IsKeyDown>("IsKeyDown"),
        LuaMethod<&Face::ListenControllerButton>("ListenControllerButton"),
        LuaMethod<&Face::ListenControllerButtonDown>("ListenControllerButtonDown"),
        LuaMethod<&Face::ListenControllerButtonReleased>("ListenControllerButtonReleased"),
        LuaMethod<&Face::ListenControllerButtonPressed>("ListenControllerButtonPressed"),
        LuaMethod<&Face::ListenMouseWheel>("ListenMouseWheel"),
        LuaMethod<&Face::ListenMouseButton>("ListenMouseButton"),
        LuaMethod<&Face::ListenMouseButtonDown>("ListenMouseButtonDown"),
        LuaMethod<&Face::ListenMouseButtonReleased>("ListenMouseButtonReleased"),
        LuaMethod<&Face::ListenMouseButtonPressed>("ListenMouseButtonPressed"),
        LuaMethod<&Face::ListenMouseMove>("ListenMouseMove"),
        LuaMethod<&Face::ListenKeyboard>("ListenKeyboard"),
        LuaMethod<&Face::ListenKeyboardDown>("ListenKeyboardDown"),
        LuaMethod<&Face::ListenKeyboardReleased>("ListenKeyboardReleased"),
        LuaMethod<&Face::ListenKeyboardPressed>("ListenKeyboardPressed"),
        LuaMethod<&Face::ListenControllerLThumbTapped>("ListenControllerLThumbTapped"),
        LuaMethod<&Face::ListenControllerRThumbTapped>("ListenControllerRThumbTapped"),
        LuaMethod<&Face::ListenControllerRTriggerTapped>("ListenControllerRTriggerTapped"),
        LuaMethod<&Face::ListenControllerLTriggerTapped>("ListenControllerLTriggerTapped"),
        LuaMethod<&Face::ListenControllerRTriggerMove>("ListenControllerRTriggerMove"),
        LuaMethod<&Face::ListenControllerLTriggerMove>("ListenControllerLTriggerMove"),
        LuaMethod<&Face::ListenControllerLTrigger>("ListenControllerLTrigger"),
        LuaMethod<&Face::ListenControllerRTrigger>("ListenControllerRTrigger"),
        LuaMethod<&Face::ListenControllerLThumb>("ListenControllerLThumb"),
        LuaMethod<&Face::ListenControllerRThumb>("ListenControllerRThumb"),
        LuaMethod<&Face::GetLThumb>("GetLThumb"), LuaMethod<&Face::GetRThumb>("GetRThumb"),
        LuaMethod<&Face::GetLTrigger>("GetLTrigger"), LuaMethod<&Face::GetRTrigger>("GetRTrigger"),
        LuaMethod<&Face::Rumble>("Rumble"), LuaMethod<&Input::SaveState>("SaveState"),
        LuaMethod<&Input::LoadState>("LoadState"), LuaMethod<&Input::CurrentState>("CurrentState"));

    GetLuaBind().PushMethodTable(state);
    Face::SetIntegers(state, InputRumbleTypeNames());
    lua_pop(state, 1);
    lua_pushvalue(state, LUA_GLOBALSINDEX);
    Face::SetIntegers(state, InputGlobalNames());
    lua_pop(state, 1);
}

} // namespace Quarn
