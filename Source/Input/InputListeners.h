#pragma once

#include "Core/Vector2.h"
#include "Input/ControllerMoveMsgSender.h"
#include "Input/ControllerStateMsgSender.h"
#include "Input/InputTypes.h"
#include "Input/MouseStateMsgSender.h"
#include "Input/StateMsgSender.h"
#include "Input/TriggerMsgSender.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace Quarn
{

// Every listener list of the input system. Lists are walked in registration order; nothing is ever
// unregistered, a whole table is replaced instead. Copying a table shares its records.
struct InputListeners
{
    using MoveFunction = std::function<void(const Vector2&, const Vector2&)>;
    // Called with the frame time and a flag to set when the rumble is over; returns the motor strength.
    using RumbleFunction = std::function<float(float, bool&)>;

    std::array<std::vector<std::shared_ptr<StateMsgSender>>, kKeyCount> keys;
    std::array<std::vector<std::shared_ptr<MouseStateMsgSender>>, MOUSE_Count> mouseButtons;
    std::vector<MoveFunction> mouseMove;
    std::vector<MoveFunction> mouseMovePixels;
    std::vector<std::function<void(float)>> mouseWheel;
    std::vector<std::function<void()>> anyKey;
    std::vector<std::function<void()>> mouseLeave;
    std::vector<std::function<bool(MouseButtons)>> mouseReleasedInterceptors;
    std::vector<std::function<bool(MouseButtons)>> mousePressedInterceptors;
    std::vector<std::function<bool(unsigned char, unsigned char)>> keyPressedInterceptors;
    std::vector<std::function<bool(unsigned char, unsigned char)>> keyReleasedInterceptors;
    std::vector<std::function<bool(char)>> characterInterceptors;
    // By rumble type, then pad.
    std::array<std::array<std::vector<RumbleFunction>, kInputPads>, kRumbleTypes> rumble;
    std::array<std::vector<std::shared_ptr<ControllerStateMsgSender>>, XBOX_Count> controllerButtons;
    std::array<std::vector<std::shared_ptr<ControllerMoveMsgSender>>, STICK_Count> thumbChanges;
    std::array<std::vector<std::shared_ptr<TriggerMsgSender>>, TRIGGER_Count> triggerChanges;
    std::array<std::vector<std::shared_ptr<ControllerMoveMsgSender>>, STICK_Count> thumbFrames;
    std::array<std::vector<std::shared_ptr<TriggerMsgSender>>, TRIGGER_Count> triggerFrames;

    // Removes every listener that calls into the Lua state, which is about to go.
    void DropScriptListeners();
};

} // namespace Quarn
