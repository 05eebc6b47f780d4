#pragma once

#include "Input/InputListenerRecord.h"
#include "Input/InputTypes.h"
#include "Input/ScriptCallback.h"

#include <functional>
#include <utility>

namespace Quarn
{

// A listener of one pad button; every pad's events reach it and it keeps those of its own pad.
class ControllerStateMsgSender : public InputListenerRecord
{
public:
    virtual void Send(unsigned char pad, KeyState state) = 0;
};

class ControllerStateMsgID final : public ControllerStateMsgSender
{
public:
    ControllerStateMsgID(unsigned char pad, std::function<void(KeyState)> function)
        : m_pad(pad), m_function(std::move(function))
    {
    }
    void Send(unsigned char pad, KeyState state) override
    {
        if (pad == m_pad)
            m_function(state);
    }
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    unsigned char m_pad;
    std::function<void(KeyState)> m_function;
};

class ControllerStateFilterMsgID final : public ControllerStateMsgSender
{
public:
    ControllerStateFilterMsgID(KeyState filter, unsigned char pad, std::function<void()> function)
        : m_filter(filter), m_pad(pad), m_function(std::move(function))
    {
    }
    void Send(unsigned char pad, KeyState state) override
    {
        if (pad == m_pad && state == m_filter)
            m_function();
    }
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    KeyState m_filter;
    unsigned char m_pad;
    std::function<void()> m_function;
};

} // namespace Quarn
