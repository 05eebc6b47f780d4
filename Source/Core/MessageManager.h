#pragma once

#include "Core/Message.h"
#include "GameObjects/GameObjectHandle.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
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

    // Sends by a name kept interned cost no lookup of the text; sends by text intern it first.
    template <typename... Args> void SendMessage(MessageName name, const Args&... args)
    {
        Message message(name, m_arena);
        (message.PushParam(args), ...);
        Dispatch(message);
    }
    template <typename... Args> void SendMessage(std::string_view name, const Args&... args)
    {
        SendMessage(MessageName(name), args...);
    }

    template <typename... Args>
    void SendGOMessage(const GameObjectHandle& object, MessageName name, const Args&... args)
    {
        Message message(name, m_arena);
        (message.PushParam(args), ...);
        DispatchGO(object, message);
    }
    template <typename... Args>
    void SendGOMessage(const GameObjectHandle& object, std::string_view name, const Args&... args)
    {
        SendGOMessage(object, MessageName(name), args...);
    }

    // A listener that takes the whole message.
    void RegisterListener(MessageName name, Listener listener);
    void RegisterListener(std::string_view name, Listener listener)
    {
        RegisterListener(MessageName(name), std::move(listener));
    }
    // A typed listener: its function is called with the message's parameters by position. A message
    // whose parameters are too few or of other types is reported and the function is not called.
    template <typename Signature, typename Function>
    void RegisterListener(MessageName name, Function&& function)
    {
        Add(ListFor(name), TypedEntry<std::decay_t<Function>>(std::forward<Function>(function),
                                                              static_cast<Signature*>(nullptr)));
    }
    template <typename Signature, typename Function>
    void RegisterListener(std::string_view name, Function&& function)
    {
        RegisterListener<Signature>(MessageName(name), std::forward<Function>(function));
    }
    void RegisterGOListener(const GameObjectHandle& object, MessageName name, Listener listener);
    void RegisterGOListener(const GameObjectHandle& object, std::string_view name, Listener listener)
    {
        RegisterGOListener(object, MessageName(name), std::move(listener));
    }
    // Drops every listener of the object; a dispatch to it in progress calls no further listener.
    void UnregisterGOListeners(const GameObjectHandle& object);

private:
    // The parameter types a typed listener takes: one record per signature, so that a dispatch
    // checks a message once for all the listeners of one signature.
    struct ParameterTypes
    {
        std::size_t count;
        const std::type_index* types;
    };
    template <typename... Args> static const ParameterTypes* ParametersOf()
    {
        // Built at first use, not as constant data: GCC puts constant data that refers to the type
        // information of an incomplete class where the linker may drop it.
        static const std::type_index types[] = {typeid(Args)..., typeid(void)};
        static const ParameterTypes parameters{sizeof...(Args), types};
        return &parameters;
    }

    // One listener: its callable on the heap, so it stays where it is while the list grows, even while
    // it runs; the function that calls it; and, for a typed listener, what the message must carry.
    struct Entry
    {
        std::unique_ptr<void, void (*)(void*)> callable;
        void (*invoke)(void* callable, const Message& message);
        const ParameterTypes* types;
    };

    struct ListenerList
    {
        std::vector<Entry> m_entries;
        bool m_dropped = false;
    };

    struct ObjectKey
    {
        GameObjectHandle m_object;
        std::uint32_t m_name;
        friend bool operator==(const ObjectKey&, const ObjectKey&) = default;
    };

    struct ObjectKeyHash
    {
        std::size_t operator()(const ObjectKey& key) const noexcept;
    };

    template <typename Callable> static void Delete(void* callable)
    {
        delete static_cast<Callable*>(callable);
    }

    static Entry UntypedEntry(Listener listener)
    {
        return {{new Listener(std::move(listener)), &Delete<Listener>},
                [](void* callable, const Message& message) { (*static_cast<Listener*>(callable))(message); },
                nullptr};
    }

    template <typename Function, typename... Args>
    static Entry TypedEntry(Function function, void (*)(Args...))
    {
        return {{new Function(std::move(function)), &Delete<Function>},
                [](void* callable, const Message& message)
                {
                    CallWithParameters(*static_cast<Function*>(callable), message,
                                       std::index_sequence_for<Args...>(),
                                       static_cast<void (*)(Args...)>(nullptr));
                },
                ParametersOf<std::decay_t<Args>...>()};
    }

    template <typename Function, std::size_t... I, typename... Args>
    static void CallWithParameters(Function& function, const Message& message, std::index_sequence<I...>,
                                   void (*)(Args...))
    {
        function(message.ParamValue<std::decay_t<Args>>(static_cast<int>(I))...);
    }

    ListenerList& ListFor(MessageName name);
    static void Add(ListenerList& list, Entry entry);
    static void Call(const ListenerList& list, const Message& message);
    static bool Carries(const Message& message, const ParameterTypes& expected);
    // Reports a message that does not carry the parameters a typed listener takes.
    static void ReportMismatch(const Message& message, const ParameterTypes& expected);

    ParamArena& m_arena;
    // Indexed by name id; a list stays where it is when the table grows during a dispatch.
    std::vector<std::unique_ptr<ListenerList>> m_listeners;
    // Shared so that a dispatch keeps its list alive while a listener unregisters the object.
    std::unordered_map<ObjectKey, std::shared_ptr<ListenerList>, ObjectKeyHash> m_objectListeners;
    std::unordered_map<GameObjectHandle, std::vector<std::uint32_t>> m_namesPerObject;
};

} // namespace Quarn
