#include "platform/window/MessageQueue.h"

#include "platform/window/SdlWindow.h"
#include "platform/window/Window.h"

#include <algorithm>

namespace Quarn::platform
{

MessageQueue& MessageQueue::Get()
{
    static MessageQueue queue;
    return queue;
}

void MessageQueue::Post(WindowHandle window, const WindowMessage& message)
{
    m_messages.push_back(QueuedMessage{window, message});
}

bool MessageQueue::Peek(QueuedMessage& out)
{
    if (m_messages.empty())
        SdlWindow::PollEvents();
    if (!m_messages.empty())
    {
        out = std::move(m_messages.front());
        m_messages.pop_front();
        return true;
    }
    if (m_quitPosted)
    {
        m_quitPosted = false;
        out = QueuedMessage{};
        out.message.id = WindowMessageId::Quit;
        return true;
    }
    return false;
}

void MessageQueue::Forget(WindowHandle window)
{
    std::erase_if(m_messages, [window](const QueuedMessage& queued) { return queued.window == window; });
}

WindowResult DispatchWindowMessage(const QueuedMessage& queued)
{
    if (!queued.window)
        return 0;
    return queued.window->Send(queued.message);
}

void PumpWindowMessages()
{
    QueuedMessage queued;
    while (MessageQueue::Get().Peek(queued))
        DispatchWindowMessage(queued);
}

void PostQuitMessage()
{
    MessageQueue::Get().PostQuit();
}

} // namespace Quarn::platform
