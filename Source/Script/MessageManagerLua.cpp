#include "Core/MessageManager.h"
#include "Script/LuaBindable.h"
#include "Script/LuaGameObjectHandleConvert.h"
#include "Script/LuaMessageListener.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{
void RegisterListenerFromLua(MessageManager& messages, const std::string& name, LuaFunction function)
{
    messages.RegisterListener(name, LuaMessageListener(function));
}

void RegisterGOListenerFromLua(MessageManager& messages, GameObjectHandle object, const std::string& name,
                               LuaFunction function)
{
    messages.RegisterGOListener(object, name, LuaMessageListener(function));
}

// Messages sent from scripts carry no parameters.
void SendMessageFromLua(MessageManager& messages, const std::string& name)
{
    messages.SendMessage(name);
}

void SendGOMessageFromLua(MessageManager& messages, GameObjectHandle object, const std::string& name)
{
    messages.SendGOMessage(object, name);
}

void RegisterMessageManagerMethods(lua_State* state)
{
    LuaMethods<MessageManager>(state, LuaMethod<&RegisterListenerFromLua>("RegisterListener"),
                               LuaMethod<&RegisterGOListenerFromLua>("RegisterGOListener"),
                               LuaMethod<&SendMessageFromLua>("SendMessage"),
                               LuaMethod<&SendGOMessageFromLua>("SendGOMessage"));
}
} // namespace

LuaBasicBind& MessageManager::GetLuaBind()
{
    // Sending from a script does not count as a Lua call of its own: the Lua listeners it reaches
    // raise the depth themselves.
    static LuaBasicBind& bind = []() -> LuaBasicBind&
    {
        LuaBasicBind& messages =
            LuaClassBinding<LuaBasicBind, MessageManager>(&RegisterMessageManagerMethods);
        messages.SetRaisesLuaCallDepth(false);
        return messages;
    }();
    return bind;
}

} // namespace Quarn
