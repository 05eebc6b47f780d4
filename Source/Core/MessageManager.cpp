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
    return object ^
           (std::hash<std::string>()(key.m_name) + 0x9e3779b97f4a7c15ull + (object << 6) + (object >> 2));
}

void MessageManager::Call(const ListenerList& list, const Message& message)
{
    // Listeners appended during this dispatch wait for the next one.
    const std::size_t count = list.m_listeners.size();
    for (std::size_t i = 0; i < count && !list.m_dropped; ++i)
        list.m_listeners[i](message);
}

void MessageManager::Dispatch(const Message& message)
{
    if (!message.Complete())
        return;
    auto found = m_listeners.find(message.Name());
    if (found != m_listeners.end())
        Call(found->second, message);
}

void MessageManager::DispatchGO(const GameObjectHandle& object, const Message& message)
{
    if (!message.Complete())
        return;
    auto found = m_objectListeners.find(ObjectKey{object, message.Name()});
    if (found == m_objectListeners.end())
        return;
    const std::shared_ptr<ListenerList> list = found->second;
    Call(*list, message);
}

void MessageManager::RegisterListener(const std::string& name, Listener listener)
{
    m_listeners[name].m_listeners.push_back(std::move(listener));
}

void MessageManager::RegisterGOListener(const GameObjectHandle& object, const std::string& name,
                                        Listener listener)
{
    auto& list = m_objectListeners[ObjectKey{object, name}];
    if (!list)
        list = std::make_shared<ListenerList>();
    list->m_listeners.push_back(std::move(listener));
    m_namesPerObject[object].push_back(name);
}

void MessageManager::UnregisterGOListeners(const GameObjectHandle& object)
{
    auto names = m_namesPerObject.find(object);
    if (names == m_namesPerObject.end())
        return;
    for (const std::string& name : names->second)
    {
        auto found = m_objectListeners.find(ObjectKey{object, name});
        if (found == m_objectListeners.end())
            continue;
        found->second->m_dropped = true;
        m_objectListeners.erase(found);
    }
    m_namesPerObject.erase(names);
}

void MessageManager::ReportMismatch(const Message& message, std::initializer_list<std::type_index> expected)
{
    std::vector<std::type_index> carried;
    for (int i = 0; i < message.Count(); ++i)
        carried.push_back(message.GetParam(i).m_type);
    OutputHandler& output = OutputHandler::Get();
    output.ReportError(__FILE__, __LINE__, output.InLua(),
                       "Message \"%s\" carries (%s) but a listener takes (%s); that listener is skipped",
                       message.Name().c_str(), TypeList(carried).c_str(), TypeList(expected).c_str());
}

} // namespace Quarn
