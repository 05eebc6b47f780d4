#include "platform/window/Window.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/VirtualKeys.h"

#include <gtest/gtest.h>

namespace Quarn::platform
{
namespace
{

// Every message the window procedure saw, then what DefaultWindowProcedure makes of it.
std::vector<WindowMessageId> g_seen;

WindowResult RecordingProcedure(WindowHandle window, const WindowMessage& message)
{
    g_seen.push_back(message.id);
    if (message.id == WindowMessageId::KeyDown)
        return message.virtualKey;
    return DefaultWindowProcedure(window, message);
}

class WindowTest : public testing::Test
{
protected:
    void SetUp() override { g_seen.clear(); }
    void TearDown() override
    {
        QueuedMessage drained;
        while (MessageQueue::Get().Peek(drained))
        {
        }
    }

    std::unique_ptr<Window> MakeWindow()
    {
        std::string error;
        std::unique_ptr<Window> window = Window::Create({"Test", 320, 200, RecordingProcedure}, error);
        EXPECT_TRUE(window) << error;
        return window;
    }
};

TEST_F(WindowTest, CreationTellsTheProcedureItsSizeAndShowingActivatesIt)
{
    std::unique_ptr<Window> window = MakeWindow();
    EXPECT_EQ(g_seen, (std::vector{WindowMessageId::Create, WindowMessageId::Size}));
    EXPECT_EQ(window->ClientWidth(), 320u);
    EXPECT_EQ(window->ClientHeight(), 200u);
    EXPECT_EQ(window->Title(), "Test");
    EXPECT_EQ(window->UserData(), nullptr);
    int owner = 0;
    window->SetUserData(&owner);
    EXPECT_EQ(window->UserData(), &owner);

    g_seen.clear();
    window->Show();
    EXPECT_EQ(g_seen, (std::vector{WindowMessageId::Activate, WindowMessageId::Size}));
}

TEST_F(WindowTest, PostedMessagesWaitForThePumpAndArriveInOrder)
{
    std::unique_ptr<Window> window = MakeWindow();
    g_seen.clear();
    window->Post(WindowMessage::Key(WindowMessageId::KeyDown, 'A'));
    window->Post(WindowMessage::Char(U'a'));
    window->Post(WindowMessage::Key(WindowMessageId::KeyUp, 'A'));
    EXPECT_TRUE(g_seen.empty());
    EXPECT_EQ(MessageQueue::Get().Waiting(), 3u);

    QueuedMessage queued;
    ASSERT_TRUE(MessageQueue::Get().Peek(queued));
    EXPECT_EQ(queued.window, window.get());
    EXPECT_EQ(DispatchWindowMessage(queued), 'A');

    PumpWindowMessages();
    EXPECT_EQ(g_seen,
              (std::vector{WindowMessageId::KeyDown, WindowMessageId::Character, WindowMessageId::KeyUp}));
    EXPECT_FALSE(MessageQueue::Get().Peek(queued));
}

TEST_F(WindowTest, AltF4ClosesAndDestroysTheWindowWhileF10AndPlainF4DoNot)
{
    std::unique_ptr<Window> window = MakeWindow();
    g_seen.clear();
    window->Send(WindowMessage::Key(WindowMessageId::SysKeyDown, vk::F10));
    window->Send(WindowMessage::Key(WindowMessageId::SysKeyDown, vk::F4));
    window->Send(WindowMessage::Key(WindowMessageId::SysKeyDown, 'X', 0, false, true));
    EXPECT_FALSE(window->IsDestroyed());

    window->Send(WindowMessage::Key(WindowMessageId::SysKeyDown, vk::F4, 0x3E, false, true));
    EXPECT_TRUE(window->IsDestroyed());
    EXPECT_EQ(g_seen, (std::vector{WindowMessageId::SysKeyDown, WindowMessageId::SysKeyDown,
                                   WindowMessageId::SysKeyDown, WindowMessageId::SysKeyDown,
                                   WindowMessageId::Close, WindowMessageId::Destroy}));
}

TEST_F(WindowTest, ADestroyedWindowDropsItsQueuedMessagesAndTakesNoMore)
{
    std::unique_ptr<Window> window = MakeWindow();
    std::unique_ptr<Window> other = MakeWindow();
    window->Post(WindowMessage::Key(WindowMessageId::KeyDown, 'A'));
    other->Post(WindowMessage::Key(WindowMessageId::KeyDown, 'B'));
    g_seen.clear();

    window->Send(WindowMessage::Plain(WindowMessageId::Close));
    EXPECT_EQ(g_seen, (std::vector{WindowMessageId::Close, WindowMessageId::Destroy}));
    EXPECT_EQ(MessageQueue::Get().Waiting(), 1u);

    g_seen.clear();
    EXPECT_EQ(window->Send(WindowMessage::Key(WindowMessageId::KeyDown, 'C')), 0);
    window->Post(WindowMessage::Key(WindowMessageId::KeyDown, 'C'));
    window->Destroy();
    EXPECT_TRUE(g_seen.empty());
    EXPECT_EQ(MessageQueue::Get().Waiting(), 1u);

    // A window that goes away takes its waiting messages with it.
    other.reset();
    EXPECT_EQ(MessageQueue::Get().Waiting(), 0u);
}

TEST_F(WindowTest, QuitComesOutOnceAfterEverythingElseWithoutAWindow)
{
    std::unique_ptr<Window> window = MakeWindow();
    PostQuitMessage();
    window->Post(WindowMessage::Plain(WindowMessageId::MouseLeave));
    QueuedMessage queued;
    ASSERT_TRUE(MessageQueue::Get().Peek(queued));
    EXPECT_EQ(queued.message.id, WindowMessageId::MouseLeave);
    ASSERT_TRUE(MessageQueue::Get().Peek(queued));
    EXPECT_EQ(queued.message.id, WindowMessageId::Quit);
    EXPECT_EQ(queued.window, nullptr);
    g_seen.clear();
    EXPECT_EQ(DispatchWindowMessage(queued), 0);
    EXPECT_TRUE(g_seen.empty());
    EXPECT_FALSE(MessageQueue::Get().Peek(queued));
}

} // namespace
} // namespace Quarn::platform
