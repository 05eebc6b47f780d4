#include "Core/Message.h"

#include "Core/OutputHandler.h"

namespace Quarn
{

Message::Message(std::string name, ParamArena& arena)
    : m_name(std::move(name)), m_arena(arena), m_mark(arena.Top())
{
}

Message::~Message()
{
    for (int i = m_count - 1; i >= 0; --i)
    {
        const Param& param = GetParam(i);
        if (param.m_destroy)
            param.m_destroy(param.m_data);
    }
    m_arena.Release(m_mark);
}

void* Message::Reserve(std::size_t size)
{
    if (!m_complete)
        return nullptr;
    OutputHandler& output = OutputHandler::Get();
    if (m_count == kMaxParams)
    {
        m_complete = false;
        output.ReportError(__FILE__, __LINE__, output.InLua(),
                           "Message \"%s\" carries at most %d parameters; it is not sent", m_name.c_str(),
                           kMaxParams);
        return nullptr;
    }
    void* slot = m_arena.Allocate(size);
    if (!slot)
    {
        m_complete = false;
        output.ReportError(
            __FILE__, __LINE__, output.InLua(),
            "Message \"%s\": the parameter arena is full (%zu of %zu bytes in use); it is not sent",
            m_name.c_str(), m_arena.Used(), m_arena.Capacity());
    }
    return slot;
}

} // namespace Quarn
