#include "Core/MessageManager.h"

#include "Core/OutputHandler.h"
#include "Script/LuaPolymorphicBase.h"

#include <boost/core/demangle.hpp>

namespace Quarn
{

namespace
{
std::string TypeList(const std::vector<std::type_index>& types)
{
    std::string text;
    for (const auto& type : types)
    {
        if (!text.empty())
            text += ", ";
        text += boost::core::demangle(type.name());
    }
    return text;
}
} // namespace

MessageManager::MessageManager(ParamArena& arena) : m_arena(arena) {}

MessageManager::~MessageManager()
{
    ReleaseLuaIdentity(this);
}

std::size_t MessageManager::ObjectKeyHash::operator()(const ObjectKey& key) const noexcept
{
    const std::size_t object = std::hash<GameObjectHandle>()(key.m_object);
    return object ^ (key.m_name + 0x9e3779b97f4a7c15ull + (object << 6) + (object >> 2));
}

void MessageManager::Add(ListenerList& list, Entry entry)
{
    list.m_entries.push_back(std::move(entry));
}

bool MessageManager::Carries(const Message& message, const ParameterTypes& expected)
{
    if (message.Count() < static_cast<int>(expected.count))
        return false;
    for (std::size_t i = 0; i < expected.count; ++i)
        if (message.GetParam(static_cast<int>(i)).m_type != expected.types[i])
            return false;
    return true;
}

void MessageManager::Call(const ListenerList& list, const Message& message)
{
    // Listeners appended during this dispatch wait for the next send. An entry is read before its
    // call, since the call may grow the list.
    const std::size_t count = list.m_entries.size();
    const ParameterTypes* checked = nullptr;
    bool carried = false;
    for (std::size_t i = 0; i < count && !list.m_dropped; ++i)
    {
        const Entry& entry = list.m_entries[i];
        void* const callable = entry.callable.get();
        const auto invoke = entry.invoke;
        if (const ParameterTypes* types = entry.types)
        {
            if (types != checked)
            {
                checked = types;
                carried = Carries(message, *types);
            }
            if (!carried)
            {
                ReportMismatch(message, *types);
                continue;
            }
        }
        invoke(callable, message);
    }
}

MessageManager::ListenerList& MessageManager::ListFor(MessageName name)
{
    if (name.Id() >= m_listeners.size())
        m_listeners.resize(name.Id() + 1);
    std::unique_ptr<ListenerList>& list = m_listeners[name.Id()];
    if (!list)
        list = std::make_unique<ListenerList>();
    return *list;
}

void MessageManager::Dispatch(const Message& message)
{
    if (!message.Complete())
        return;
    const std::uint32_t id = message.Interned().Id();
    if (id < m_listeners.size() && m_listeners[id])
        Call(*m_listeners[id], message);
}

void MessageManager::DispatchGO(const GameObjectHandle& object, const Message& message)
{
    if (!message.Complete())
        return;
    auto found = m_objectListeners.find(ObjectKey{object, message.Interned().Id()});
    if (found == m_objectListeners.end())
        return;
    const std::shared_ptr<ListenerList> list = found->second;
    Call(*list, message);
}

void MessageManager::RegisterListener(MessageName name, Listener listener)
{
    Add(ListFor(name), UntypedEntry(std::move(listener)));
}

void MessageManager::RegisterGOListener(const GameObjectHandle& object, MessageName name, Listener listener)
{
    auto& list = m_objectListeners[ObjectKey{object, name.Id()}];
    if (!list)
        list = std::make_shared<ListenerList>();
    Add(*list, UntypedEntry(std::move(listener)));
    m_namesPerObject[object].push_back(name.Id());
}

void MessageManager::UnregisterGOListeners(const GameObjectHandle& object)
{
    auto names = m_namesPerObject.find(object);
    if (names == m_namesPerObject.end())
        return;
    for (const std::uint32_t name : names->second)
    {
        auto found = m_objectListeners.find(ObjectKey{object, name});
        if (found == m_objectListeners.end())
            continue;
        found->second->m_dropped = true;
        m_objectListeners.erase(found);
    }
    m_namesPerObject.erase(names);
}

void MessageManager::ReportMismatch(const Message& message, const ParameterTypes& expected)
{
    std::vector<std::type_index> carried;
    for (int i = 0; i < message.Count(); ++i)
        carried.push_back(message.GetParam(i).m_type);
    std::vector<std::type_index> taken;
    for (std::size_t i = 0; i < expected.count; ++i)
        taken.push_back(expected.types[i]);
    OutputHandler& output = OutputHandler::Get();
    output.ReportError(__FILE__, __LINE__, output.InLua(),
                       "Message \"%s\" carries (%s) but a listener takes (%s); that listener is skipped",
                       message.Name().c_str(), TypeList(carried).c_str(), TypeList(taken).c_str());
}

} // namespace Quarn
