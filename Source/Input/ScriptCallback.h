#pragma once

#include <functional>
#include <utility>

namespace Quarn
{

// A listener function that calls into the Lua state. Wrapping it in this type lets the listener
// tables tell it from engine code's listeners: it dies with its Lua state, so a warm reset drops it
// from every saved listener state.
template <typename Signature> class ScriptCallback;

template <typename R, typename... Args> class ScriptCallback<R(Args...)>
{
public:
    explicit ScriptCallback(std::function<R(Args...)> call) : m_call(std::move(call)) {}

    R operator()(Args... args) const { return m_call(std::forward<Args>(args)...); }

private:
    std::function<R(Args...)> m_call;
};

// Whether function holds a script's callback.
template <typename R, typename... Args> bool IsScriptCallback(const std::function<R(Args...)>& function)
{
    return function.template target<ScriptCallback<R(Args...)>>() != nullptr;
}

} // namespace Quarn
