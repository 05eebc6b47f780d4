#pragma once

#include "Input/InputListenerRecord.h"
#include "Input/ScriptCallback.h"
#include "Input/TapLatch.h"

#include <functional>
#include <utility>

namespace Quarn
{

// A listener of one trigger of every pad: told the trigger's value 0..1, its change since the last poll
// and the frame time.
class TriggerMsgSender : public InputListenerRecord
{
public:
    virtual void Send(unsigned char pad, float value, float delta, float dt) = 0;
};

// Hears the trigger of one pad.
class TriggerMsgID final : public TriggerMsgSender
{
public:
    TriggerMsgID(unsigned char pad, std::function<void(float, float)> function)
        : m_pad(pad), m_function(std::move(function))
    {
    }
    void Send(unsigned char pad, float value, float delta, float) override
    {
        if (pad == m_pad)
            m_function(value, delta);
    }
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    unsigned char m_pad;
    std::function<void(float, float)> m_function;
};

// A tap of one pad's trigger: pulled past a value quickly enough. It fires once per pull and again only
// after a trigger change that fails the test.
class TriggerFilterMsgID final : public TriggerMsgSender
{
public:
    // speed in full pulls per second.
    TriggerFilterMsgID(unsigned char pad, std::function<void()> function, float speed, float value)
        : m_pad(pad), m_speed(speed), m_value(value), m_function(std::move(function))
    {
    }
    void Send(unsigned char pad, float value, float delta, float dt) override;
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    unsigned char m_pad;
    float m_speed;
    float m_value;
    TapLatch m_latch;
    std::function<void()> m_function;
};

} // namespace Quarn
