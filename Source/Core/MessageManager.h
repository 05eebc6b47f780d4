#pragma once

#include "Core/Message.h"
#include "GameObjects/GameObjectHandle.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <type_traits>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Quarn
{

class LuaBasicBind;

// Named messages with immediate dispatch: every listener of a name (globally, or for one game object
// and that name) runs before the send returns, in registration order. Dispatch is re-entrant: a
// listener may send further messages and register listeners; one registered for the name being
// dispatched runs from the next send on.
class MessageManager
{
public:
    using Listener = std::function<void(const Message&)>;

    // A typed listener: calls its function with the message's parameters by position. A message whose
    // parameters are too few or of other types is reported and the function is not called.
    template <typename Signature, typename Function = std::function<Signature>> class MessageCaller;

    explicit MessageManager(ParamArena& arena);
    // Releases its Lua identity.
    ~MessageManager();
    MessageManager(const MessageManager&) = delete;
    MessageManager& operator=(const MessageManager&) = delete;

    ParamArena& GetArena() const { return m_arena; }

    // Scripts reach the manager as the global "messages".
    static LuaBasicBind& GetLuaBind();

    void Dispatch(const Message& message);
    void DispatchGO(const GameObjectHandle& object, const Message& message);

    template <typename... Args> void SendMessage(std::string name, const Args&... args)
    {
        Message message(std::move(name), m_arena);
        (message.PushParam(args), ...);
        Dispatch(message);
    }

    template <typename... Args>
    void SendGOMessage(const GameObjectHandle& object, std::string name, const Args&... args)
    {
        Message message(std::move(name), m_arena);
        (message.PushParam(args), ...);
        DispatchGO(object, message);
    }

    void RegisterListener(const std::string& name, Listener listener);
    void RegisterGOListener(const GameObjectHandle& object, const std::string& name, Listener listener);
    // Drops every listener of the object; a dispatch to it in progress calls no further listener.
    void UnregisterGOListeners(const GameObjectHandle& object);

    // Wraps a function of the given signature as a listener.
    template <typename Signature, typename Function> static Listener MakeListener(Function&& function)
    {
        return MessageCaller<Signature, std::decay_t<Function>>(std::forward<Function>(function));
    }

    template <typename Signature, typename Function>
    void RegisterListener(const std::string& name, Function&& function)
    {
        RegisterListener(name, MakeListener<Signature>(std::forward<Function>(function)));
    }

    // Reports a message that does not carry the parameters a typed listener takes.
    static void ReportMismatch(const Message& message, std::initializer_list<std::type_index> expected);

private:
    // Listeners stay where they are while more are appended, so a dispatch can go on calling them.
    struct ListenerList
    {
        std::deque<Listener> m_listeners;
        bool m_dropped = false;
    };

    struct ObjectKey
    {
        GameObjectHandle m_object;
        std::string m_name;
        friend bool operator==(const ObjectKey&, const ObjectKey&) = default;
    };

    struct ObjectKeyHash
    {
        std::size_t operator()(const ObjectKey& key) const noexcept;
    };

    static void Call(const ListenerList& list, const Message& message);

    ParamArena& m_arena;
    std::unordered_map<std::string, ListenerList> m_listeners;
    // Shared so that a dispatch keeps its list alive while a listener unregisters the object.
    std::unordered_map<ObjectKey, std::shared_ptr<ListenerList>, ObjectKeyHash> m_objectListeners;
    std::unordered_map<GameObjectHandle, std::vector<std::string>> m_namesPerObject;
};

template <typename... Args, typename Function> class MessageManager::MessageCaller<void(Args...), Function>
{
public:
    explicit MessageCaller(Function function) : m_function(std::move(function)) {}

    void operator()(const Message& message)
    {
        if (!Matches(message, std::index_sequence_for<Args...>()))
        {
            ReportMismatch(message, {std::type_index(typeid(std::decay_t<Args>))...});
            return;
        }
        Call(message, std::index_sequence_for<Args...>());
    }

private:
    template <std::size_t... I> static bool Matches(const Message& message, std::index_sequence<I...>)
    {
        return message.Count() >= static_cast<int>(sizeof...(Args)) &&
               ((message.GetParam(static_cast<int>(I)).m_type == typeid(std::decay_t<Args>)) && ...);
    }

    template <std::size_t... I> void Call(const Message& message, std::index_sequence<I...>)
    {
        m_function(message.ParamValue<std::decay_t<Args>>(static_cast<int>(I))...);
    }

    Function m_function;
};

} // namespace Quarn
