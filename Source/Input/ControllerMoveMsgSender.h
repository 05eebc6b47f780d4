#pragma once

#include "Core/Vector2.h"
#include "Input/InputListenerRecord.h"
#include "Input/ScriptCallback.h"
#include "Input/TapLatch.h"

#include <functional>
#include <utility>

namespace Quarn
{

// A listener of one thumbstick of every pad: told the stick's position, its change since the last poll
// and the frame time.
class ControllerMoveMsgSender : public InputListenerRecord
{
public:
    virtual void Send(unsigned char pad, const Vector2& position, const Vector2& delta, float dt) = 0;
};

// Hears the stick of every pad, with the pad's number.
class ControllerMoveMsg final : public ControllerMoveMsgSender
{
public:
    explicit ControllerMoveMsg(std::function<void(unsigned char, const Vector2&, const Vector2&)> function)
        : m_function(std::move(function))
    {
    }
    void Send(unsigned char pad, const Vector2& position, const Vector2& delta, float) override
    {
        m_function(pad, position, delta);
    }
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    std::function<void(unsigned char, const Vector2&, const Vector2&)> m_function;
};

// Hears the stick of one pad.
class ControllerMoveMsgID final : public ControllerMoveMsgSender
{
public:
    ControllerMoveMsgID(unsigned char pad, std::function<void(const Vector2&, const Vector2&)> function)
        : m_pad(pad), m_function(std::move(function))
    {
    }
    void Send(unsigned char pad, const Vector2& position, const Vector2& delta, float) override
    {
        if (pad == m_pad)
            m_function(position, delta);
    }
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    unsigned char m_pad;
    std::function<void(const Vector2&, const Vector2&)> m_function;
};

// A tap of one pad's stick: a quick push far enough out, near a direction. It fires once per gesture and
// again only after a stick change that fails the test.
class ControllerMoveFilterID final : public ControllerMoveMsgSender
{
public:
    // speed in full deflections per second; angles in radians, measured from direction.
    ControllerMoveFilterID(unsigned char pad, std::function<void()> function, const Vector2& direction,
                           float speed, float magnitude, float positionAngle, float movementAngle)
        : m_pad(pad), m_speed(speed), m_magnitude(magnitude), m_direction(direction),
          m_positionAngle(positionAngle), m_movementAngle(movementAngle), m_function(std::move(function))
    {
    }
    void Send(unsigned char pad, const Vector2& position, const Vector2& delta, float dt) override;
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    unsigned char m_pad;
    float m_speed;
    float m_magnitude;
    Vector2 m_direction;
    float m_positionAngle;
    float m_movementAngle;
    TapLatch m_latch;
    std::function<void()> m_function;
};

} // namespace Quarn
