#include "Script/LuaMessageListener.h"

#include "Core/OutputHandler.h"
#include "Script/LuaTypePushers.h"

#include <boost/core/demangle.hpp>

namespace Quarn
{

LuaMessageListener::LuaMessageListener(const LuaFunction& function)
    : m_function(std::make_shared<const LuaFunction>(function))
{
}

void LuaMessageListener::operator()(const Message& message) const
{
    const int handler = m_function->PushCall();
    if (handler == 0)
        return;
    lua_State* state = CurrentLuaState();
    if (!lua_checkstack(state, message.Count()))
    {
        lua_settop(state, handler - 1);
        return;
    }
    for (int i = 0; i < message.Count(); ++i)
    {
        const Message::Param& param = message.GetParam(i);
        if (LuaTypePushers::Push(state, param.m_type, param.m_data))
            continue;
        lua_pushnil(state);
        OutputHandler::Get().Log("Message \"%s\": parameter %d of type %s reaches Lua as nil",
                                 message.Name().c_str(), i + 1,
                                 boost::core::demangle(param.m_type.name()).c_str());
    }
    m_function->PCall(message.Count(), handler);
}

} // namespace Quarn
