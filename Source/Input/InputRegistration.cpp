#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Input/Input.h"

#include <memory>

// The listener registrations of Input and its saved listener states. Each registration made while input
// is being dispatched is queued as a call of itself with copies of its arguments.

namespace Quarn
{

namespace
{
constexpr float kFullTurn = 6.2831855f;
constexpr float kDefaultTapSpeed = 1.0f;
constexpr float kDefaultTapReach = 0.6f;
} // namespace

bool Input::CheckPad(unsigned char pad, const char* function) const
{
    QUARN_ASSERT(pad < kInputPads, "%s: pad %u is not a pad number 0-3", function,
                 static_cast<unsigned>(pad));
    return pad < kInputPads;
}

bool Input::CheckButton(ControllerButtons button, const char* function) const
{
    const bool valid = button >= 0 && button < XBOX_Count;
    QUARN_ASSERT(valid, "%s: %d is not a pad button", function, static_cast<int>(button));
    return valid;
}

bool Input::CheckMouseButton(MouseButtons button, const char* function) const
{
    const bool valid = button >= 0 && button < MOUSE_Count;
    QUARN_ASSERT(valid, "%s: %d is not a mouse button", function, static_cast<int>(button));
    return valid;
}

void Input::ListenKeyboard(unsigned char key, const KeyFunction& function)
{
    if (DeferIfBusy([=](Input& input) { input.ListenKeyboard(key, function); }))
        return;
    m_listeners.keys[key].push_back(std::make_shared<StateMsg>(function));
}

void Input::ListenKeyboardDown(unsigned char key, const PlainFunction& function)
{
    if (DeferIfBusy([=](Input& input) { input.ListenKeyboardDown(key, function); }))
        return;
    m_listeners.keys[key].push_back(std::make_shared<StateFilterMsg>(KEY_Down, function));
}

void Input::ListenKeyboardPressed(unsigned char key, const PlainFunction& function)
{
    if (DeferIfBusy([=](Input& input) { input.ListenKeyboardPressed(key, function); }))
        return;
    m_listeners.keys[key].push_back(std::make_shared<StateFilterMsg>(KEY_Pressed, function));
}

void Input::ListenKeyboardReleased(unsigned char key, const PlainFunction& function)
{
    if (DeferIfBusy([=](Input& input) { input.ListenKeyboardReleased(key, function); }))
        return;
    m_listeners.keys[key].push_back(std::make_shared<StateFilterMsg>(KEY_Released, function));
}

void Input::ListenMouseButton(MouseButtons button, const MouseStateFunction& function)
{
    if (!CheckMouseButton(button, "ListenMouseButton"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenMouseButton(button, function); }))
        return;
    m_listeners.mouseButtons[static_cast<std::size_t>(button)].push_back(
        std::make_shared<MouseStateMsg>(function));
}

void Input::ListenMouseButtonDown(MouseButtons button, const PositionFunction& function)
{
    if (!CheckMouseButton(button, "ListenMouseButtonDown"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenMouseButtonDown(button, function); }))
        return;
    m_listeners.mouseButtons[static_cast<std::size_t>(button)].push_back(
        std::make_shared<MouseStateFilterMsg>(KEY_Down, function));
}

void Input::ListenMouseButtonPressed(MouseButtons button, const PositionFunction& function)
{
    if (!CheckMouseButton(button, "ListenMouseButtonPressed"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenMouseButtonPressed(button, function); }))
        return;
    m_listeners.mouseButtons[static_cast<std::size_t>(button)].push_back(
        std::make_shared<MouseStateFilterMsg>(KEY_Pressed, function));
}

void Input::ListenMouseButtonReleased(MouseButtons button, const PositionFunction& function)
{
    if (!CheckMouseButton(button, "ListenMouseButtonReleased"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenMouseButtonReleased(button, function); }))
        return;
    m_listeners.mouseButtons[static_cast<std::size_t>(button)].push_back(
        std::make_shared<MouseStateFilterMsg>(KEY_Released, function));
}

void Input::ListenMouseMove(const MoveFunction& function)
{
    if (DeferIfBusy([=](Input& input) { input.ListenMouseMove(function); }))
        return;
    m_listeners.mouseMove.push_back(function);
}

void Input::ListenMouseMovePixels(const MoveFunction& function)
{
    if (DeferIfBusy([=](Input& input) { input.ListenMouseMovePixels(function); }))
        return;
    m_listeners.mouseMovePixels.push_back(function);
}

void Input::ListenMouseWheel(const std::function<void(float)>& function)
{
    if (DeferIfBusy([=](Input& input) { input.ListenMouseWheel(function); }))
        return;
    m_listeners.mouseWheel.push_back(function);
}

void Input::ListenMouseLeave(const PlainFunction& function)
{
    if (DeferIfBusy([=](Input& input) { input.ListenMouseLeave(function); }))
        return;
    m_listeners.mouseLeave.push_back(function);
}

void Input::ListenAnyKey(const PlainFunction& function)
{
    if (DeferIfBusy([=](Input& input) { input.ListenAnyKey(function); }))
        return;
    m_listeners.anyKey.push_back(function);
}

void Input::InterceptCharacter(const std::function<bool(char)>& function)
{
    if (DeferIfBusy([=](Input& input) { input.InterceptCharacter(function); }))
        return;
    m_listeners.characterInterceptors.push_back(function);
}

void Input::InterceptKeyPressed(const std::function<bool(unsigned char, unsigned char)>& function)
{
    if (DeferIfBusy([=](Input& input) { input.InterceptKeyPressed(function); }))
        return;
    m_listeners.keyPressedInterceptors.push_back(function);
}

void Input::InterceptKeyReleased(const std::function<bool(unsigned char, unsigned char)>& function)
{
    if (DeferIfBusy([=](Input& input) { input.InterceptKeyReleased(function); }))
        return;
    m_listeners.keyReleasedInterceptors.push_back(function);
}

void Input::InterceptMousePressed(const std::function<bool(MouseButtons)>& function)
{
    if (DeferIfBusy([=](Input& input) { input.InterceptMousePressed(function); }))
        return;
    m_listeners.mousePressedInterceptors.push_back(function);
}

void Input::InterceptMouseReleased(const std::function<bool(MouseButtons)>& function)
{
    if (DeferIfBusy([=](Input& input) { input.InterceptMouseReleased(function); }))
        return;
    m_listeners.mouseReleasedInterceptors.push_back(function);
}

void Input::ListenControllerButton(unsigned char pad, ControllerButtons button, const KeyFunction& function)
{
    if (!CheckPad(pad, "ListenControllerButton") || !CheckButton(button, "ListenControllerButton"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerButton(pad, button, function); }))
        return;
    m_listeners.controllerButtons[static_cast<std::size_t>(button)].push_back(
        std::make_shared<ControllerStateMsgID>(pad, function));
}

void Input::ListenControllerButtonDown(unsigned char pad, ControllerButtons button,
                                       const PlainFunction& function)
{
    if (!CheckPad(pad, "ListenControllerButtonDown") || !CheckButton(button, "ListenControllerButtonDown"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerButtonDown(pad, button, function); }))
        return;
    m_listeners.controllerButtons[static_cast<std::size_t>(button)].push_back(
        std::make_shared<ControllerStateFilterMsgID>(KEY_Down, pad, function));
}

void Input::ListenControllerButtonPressed(unsigned char pad, ControllerButtons button,
                                          const PlainFunction& function)
{
    if (!CheckPad(pad, "ListenControllerButtonPressed") ||
        !CheckButton(button, "ListenControllerButtonPressed"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerButtonPressed(pad, button, function); }))
        return;
    m_listeners.controllerButtons[static_cast<std::size_t>(button)].push_back(
        std::make_shared<ControllerStateFilterMsgID>(KEY_Pressed, pad, function));
}

void Input::ListenControllerButtonReleased(unsigned char pad, ControllerButtons button,
                                           const PlainFunction& function)
{
    if (!CheckPad(pad, "ListenControllerButtonReleased") ||
        !CheckButton(button, "ListenControllerButtonReleased"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerButtonReleased(pad, button, function); }))
        return;
    m_listeners.controllerButtons[static_cast<std::size_t>(button)].push_back(
        std::make_shared<ControllerStateFilterMsgID>(KEY_Released, pad, function));
}

void Input::ListenLThumbMoveAnyPad(const AnyPadMoveFunction& function)
{
    if (DeferIfBusy([=](Input& input) { input.ListenLThumbMoveAnyPad(function); }))
        return;
    m_listeners.thumbChanges[STICK_Left].push_back(std::make_shared<ControllerMoveMsg>(function));
}

void Input::ListenControllerLThumb(unsigned char pad, const MoveFunction& function)
{
    if (!CheckPad(pad, "ListenControllerLThumb"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerLThumb(pad, function); }))
        return;
    m_listeners.thumbFrames[STICK_Left].push_back(std::make_shared<ControllerMoveMsgID>(pad, function));
}

void Input::ListenControllerRThumb(unsigned char pad, const MoveFunction& function)
{
    if (!CheckPad(pad, "ListenControllerRThumb"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerRThumb(pad, function); }))
        return;
    m_listeners.thumbFrames[STICK_Right].push_back(std::make_shared<ControllerMoveMsgID>(pad, function));
}

void Input::AddThumbTap(int stick, unsigned char pad, const PlainFunction& function, const Vector2& direction,
                        float speed, float magnitude, float positionAngle, float movementAngle)
{
    m_listeners.thumbChanges[static_cast<std::size_t>(stick)].push_back(
        std::make_shared<ControllerMoveFilterID>(pad, function, direction, speed, magnitude, positionAngle,
                                                 movementAngle));
}

void Input::ListenControllerLThumbTapped(unsigned char pad, const PlainFunction& function,
                                         const Vector2& direction, float speed, float magnitude,
                                         float positionAngle, float movementAngle)
{
    if (!CheckPad(pad, "ListenControllerLThumbTapped"))
        return;
    if (DeferIfBusy(
            [=](Input& input)
            {
                input.ListenControllerLThumbTapped(pad, function, direction, speed, magnitude, positionAngle,
                                                   movementAngle);
            }))
        return;
    AddThumbTap(STICK_Left, pad, function, direction, speed, magnitude, positionAngle, movementAngle);
}

void Input::ListenControllerRThumbTapped(unsigned char pad, const PlainFunction& function,
                                         const Vector2& direction, float speed, float magnitude,
                                         float positionAngle, float movementAngle)
{
    if (!CheckPad(pad, "ListenControllerRThumbTapped"))
        return;
    if (DeferIfBusy(
            [=](Input& input)
            {
                input.ListenControllerRThumbTapped(pad, function, direction, speed, magnitude, positionAngle,
                                                   movementAngle);
            }))
        return;
    AddThumbTap(STICK_Right, pad, function, direction, speed, magnitude, positionAngle, movementAngle);
}

void Input::ListenControllerLThumbTapped(unsigned char pad, const PlainFunction& function)
{
    ListenControllerLThumbTapped(pad, function, Vector2(0.0f, 1.0f), kDefaultTapSpeed, kDefaultTapReach,
                                 kFullTurn, kFullTurn);
}

void Input::ListenControllerRThumbTapped(unsigned char pad, const PlainFunction& function)
{
    ListenControllerRThumbTapped(pad, function, Vector2(0.0f, 1.0f), kDefaultTapSpeed, kDefaultTapReach,
                                 kFullTurn, kFullTurn);
}

void Input::ListenControllerLTriggerMove(unsigned char pad, const TriggerFunction& function)
{
    if (!CheckPad(pad, "ListenControllerLTriggerMove"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerLTriggerMove(pad, function); }))
        return;
    m_listeners.triggerChanges[TRIGGER_Left].push_back(std::make_shared<TriggerMsgID>(pad, function));
}

void Input::ListenControllerRTriggerMove(unsigned char pad, const TriggerFunction& function)
{
    if (!CheckPad(pad, "ListenControllerRTriggerMove"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerRTriggerMove(pad, function); }))
        return;
    m_listeners.triggerChanges[TRIGGER_Right].push_back(std::make_shared<TriggerMsgID>(pad, function));
}

void Input::ListenControllerLTrigger(unsigned char pad, const TriggerFunction& function)
{
    if (!CheckPad(pad, "ListenControllerLTrigger"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerLTrigger(pad, function); }))
        return;
    m_listeners.triggerFrames[TRIGGER_Left].push_back(std::make_shared<TriggerMsgID>(pad, function));
}

void Input::ListenControllerRTrigger(unsigned char pad, const TriggerFunction& function)
{
    if (!CheckPad(pad, "ListenControllerRTrigger"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerRTrigger(pad, function); }))
        return;
    m_listeners.triggerFrames[TRIGGER_Right].push_back(std::make_shared<TriggerMsgID>(pad, function));
}

void Input::AddTriggerTap(int trigger, unsigned char pad, const PlainFunction& function, float speed,
                          float value)
{
    m_listeners.triggerChanges[static_cast<std::size_t>(trigger)].push_back(
        std::make_shared<TriggerFilterMsgID>(pad, function, speed, value));
}

void Input::ListenControllerLTriggerTapped(unsigned char pad, const PlainFunction& function, float speed,
                                           float value)
{
    if (!CheckPad(pad, "ListenControllerLTriggerTapped"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerLTriggerTapped(pad, function, speed, value); }))
        return;
    AddTriggerTap(TRIGGER_Left, pad, function, speed, value);
}

void Input::ListenControllerRTriggerTapped(unsigned char pad, const PlainFunction& function, float speed,
                                           float value)
{
    if (!CheckPad(pad, "ListenControllerRTriggerTapped"))
        return;
    if (DeferIfBusy([=](Input& input) { input.ListenControllerRTriggerTapped(pad, function, speed, value); }))
        return;
    AddTriggerTap(TRIGGER_Right, pad, function, speed, value);
}

void Input::ListenControllerLTriggerTapped(unsigned char pad, const PlainFunction& function)
{
    ListenControllerLTriggerTapped(pad, function, kDefaultTapSpeed, kDefaultTapReach);
}

void Input::ListenControllerRTriggerTapped(unsigned char pad, const PlainFunction& function)
{
    ListenControllerRTriggerTapped(pad, function, kDefaultTapSpeed, kDefaultTapReach);
}

void Input::Rumble(unsigned char pad, const RumbleFunction& function, RumbleType type)
{
    if (!CheckPad(pad, "Rumble"))
        return;
    if (DeferIfBusy([=](Input& input) { input.Rumble(pad, function, type); }))
        return;
    if (type < 0 || static_cast<std::size_t>(type) >= kRumbleTypes)
        return;
    m_listeners.rumble[static_cast<std::size_t>(type)][pad].push_back(function);
}

void Input::SaveState(const std::string& name)
{
    if (DeferIfBusy([=](Input& input) { input.SaveState(name); }))
        return;
    m_savedStates[name] = m_listeners;
}

void Input::LoadState(const std::string& name)
{
    // Held keys and buttons are released to the listeners that heard them go down.
    ReleaseAll();
    if (DeferIfBusy([=](Input& input) { input.LoadState(name); }))
        return;
    const auto saved = m_savedStates.find(name);
    if (saved == m_savedStates.end())
    {
        OutputHandler::Get().Log("Input: no listener state saved as \"%s\"; the listeners stay as they are",
                                 name.c_str());
        return;
    }
    m_listeners = saved->second;
    m_currentState = name;
    ++m_rumbleGeneration;
}

} // namespace Quarn
