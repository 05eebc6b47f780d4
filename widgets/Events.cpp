#include "widgets/Events.h"

#include <algorithm>

namespace Gui::Event
{

Caller OnControlCreated;
Caller OnControlDestroyed;

namespace
{

int g_callDepth = 0;

} // namespace

int CallDepth()
{
    return g_callDepth;
}

Handler::~Handler()
{
    while (!m_callers.empty())
    {
        Caller* caller = m_callers.front();
        UnRegisterCaller(caller);
        caller->ErasePairsOf(this);
    }
}

void Handler::RegisterCaller(Caller* caller)
{
    m_callers.push_back(caller);
}

void Handler::UnRegisterCaller(Caller* caller)
{
    std::erase(m_callers, caller);
}

Caller::Caller() : m_alive(std::make_shared<bool>(true)) {}

Caller::~Caller()
{
    *m_alive = false;
    // Each handler is told once, after the list is gone: a handler may go with its last caller.
    std::vector<Handler*> handlers;
    for (const Pair& pair : m_pairs)
        if (std::find(handlers.begin(), handlers.end(), pair.handler) == handlers.end())
            handlers.push_back(pair.handler);
    m_pairs.clear();
    for (Handler* handler : handlers)
        handler->OnCallerDestroyed(this);
}

void Caller::AddInternal(Handler* handler, HandlerFunction function)
{
    if (!handler)
        return;
    m_pairs.push_back({function, handler, m_nextId++});
    handler->RegisterCaller(this);
}

void Caller::Call(Controls::Base* control)
{
    struct Depth
    {
        Depth() { ++g_callDepth; }
        ~Depth() { --g_callDepth; }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;
    } depth;
    const std::vector<Pair> snapshot = m_pairs;
    const std::shared_ptr<bool> alive = m_alive;
    for (const Pair& pair : snapshot)
    {
        if (!*alive)
            return;
        const bool present = std::any_of(m_pairs.begin(), m_pairs.end(),
                                         [&pair](const Pair& live) { return live.id == pair.id; });
        if (present)
            (pair.handler->*pair.function)(control);
    }
}

void Caller::RemoveHandler(Handler* handler)
{
    if (!handler)
        return;
    handler->UnRegisterCaller(this);
    ErasePairsOf(handler);
    handler->DeleteThis();
}

void Caller::ErasePairsOf(const Handler* handler)
{
    std::erase_if(m_pairs, [handler](const Pair& pair) { return pair.handler == handler; });
}

} // namespace Gui::Event
