#pragma once

#include "Core/Vector2.h"
#include "Input/InputListenerRecord.h"
#include "Input/InputTypes.h"
#include "Input/ScriptCallback.h"

#include <functional>
#include <utility>

namespace Quarn
{

// A listener of one mouse button; it is told the normalised mouse position with each state.
class MouseStateMsgSender : public InputListenerRecord
{
public:
    virtual void Send(KeyState state, const Vector2& position) = 0;
};

class MouseStateMsg final : public MouseStateMsgSender
{
public:
    explicit MouseStateMsg(std::function<void(KeyState, const Vector2&)> function)
        : m_function(std::move(function))
    {
    }
    void Send(KeyState state, const Vector2& position) override { m_function(state, position); }
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    std::function<void(KeyState, const Vector2&)> m_function;
};

class MouseStateFilterMsg final : public MouseStateMsgSender
{
public:
    MouseStateFilterMsg(KeyState filter, std::function<void(const Vector2&)> function)
        : m_filter(filter), m_function(std::move(function))
    {
    }
    void Send(KeyState state, const Vector2& position) override
    {
        if (state == m_filter)
            m_function(position);
    }
    bool FromScript() const override { return IsScriptCallback(m_function); }

private:
    KeyState m_filter;
    std::function<void(const Vector2&)> m_function;
};

} // namespace Quarn
