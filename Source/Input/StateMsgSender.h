#pragma once

#include "Input/InputListenerRecord.h"
#include "Input/InputTypes.h"
#include "Input/ScriptCallback.h"

#include <functional>
#include <utility>

namespace Quarn
{

// A listener of one key.
class StateMsgSender : public InputListenerRecord
{
public:
    virtual void Send(KeyState state) = 0;
};

// Hears every state of its key.
class StateMsg final : public StateMsgSender
{
public:
    explicit StateMsg(std::function<void(KeyState)> function) : m_function(std::move(function)) {}
    void Send(KeyState state) override { m_function(state); }
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    std::function<void(KeyState)> m_function;
};

// Hears one state of its key.
class StateFilterMsg final : public StateMsgSender
{
public:
    StateFilterMsg(KeyState filter, std::function<void()> function)
        : m_filter(filter), m_function(std::move(function))
    {
    }
    void Send(KeyState state) override
    {
        if (state == m_filter)
            m_function();
    }
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    KeyState m_filter;
    std::function<void()> m_function;
};

} // namespace Quarn
