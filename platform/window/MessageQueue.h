#pragma once

#include "platform/window/WindowMessage.h"

#include <deque>

namespace Quarn::platform
{

struct QueuedMessage
{
    WindowHandle window = nullptr; // null for Quit
    WindowMessage message;
};

// The program's one message queue (single-threaded). Posted messages wait here; when it runs dry it takes
// in the desktop's pending events, translated into messages for the windows they belong to. A requested
// quit comes out as a Quit message without a window once nothing else is waiting.
class MessageQueue
{
public:
    static MessageQueue& Get();

    void Post(WindowHandle window, const WindowMessage& message);
    // Takes the next message off the queue; false when there is none.
    bool Peek(QueuedMessage& out);
    void PostQuit() { m_quitPosted = true; }
    // Drops every waiting message of a window that is going away.
    void Forget(WindowHandle window);
    std::size_t Waiting() const { return m_messages.size(); }

private:
    std::deque<QueuedMessage> m_messages;
    bool m_quitPosted = false;
};

// Hands a message to its window's procedure; a message without a window goes nowhere.
WindowResult DispatchWindowMessage(const QueuedMessage& queued);
// Dispatches messages until the queue is empty.
void PumpWindowMessages();
void PostQuitMessage();

} // namespace Quarn::platform
