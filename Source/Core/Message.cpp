#include "Core/Message.h"

#include "Core/OutputHandler.h"

namespace Quarn
{

void Message::Refuse()
{
    if (!m_complete)
        return;
    m_complete = false;
    OutputHandler& output = OutputHandler::Get();
    if (m_count == kMaxParams)
        output.ReportError(__FILE__, __LINE__, output.InLua(),
                           "Message \"%s\" carries at most %d parameters; it is not sent",
                           m_name.Text().c_str(), kMaxParams);
    else
        output.ReportError(
            __FILE__, __LINE__, output.InLua(),
            "Message \"%s\": the parameter arena is full (%zu of %zu bytes in use); it is not sent",
            m_name.Text().c_str(), m_arena.Used(), m_arena.Capacity());
}

} // namespace Quarn
