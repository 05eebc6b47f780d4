#pragma once

#include "Core/Message.h"
#include "Script/LuaFunction.h"

#include <memory>

namespace Quarn
{

// A message listener written in Lua: called with the message's parameters as Lua values (numbers,
// strings, bound objects, by their types), through the engine's protected call. A parameter whose type
// Lua cannot take arrives as nil. Copies share the one function.
class LuaMessageListener
{
public:
    explicit LuaMessageListener(const LuaFunction& function);

    void operator()(const Message& message) const;

private:
    std::shared_ptr<const LuaFunction> m_function;
};

} // namespace Quarn
