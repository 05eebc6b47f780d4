#include "InputTestSupport.h"

#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Graphics/Graphics.h"
#include "platform/window/DroppedFiles.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/VirtualKeys.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"

#include <gtest/gtest.h>

namespace Quarn::test
{
namespace
{

using platform::SizeKind;
using platform::WindowMessage;
using platform::WindowMessageId;
using Journal = std::vector<std::string>;

class InputWindowTest : public InputFixture
{
};

struct MessageCase
{
    const char* name;
    bool ready;          // whether the window has been announced to the input system
    bool lostFocusFirst; // whether the window lost activation before the message
    WindowMessage message;
    platform::WindowResult result;
    Journal sent;
    float width; // stored window size afterwards
    float height;
};

TEST(InputWindowMessagesTest, SizeAndActivationMessagesSendWhatTheWindowDidOnlyOnceItIsReady)
{
    const MessageCase cases[] = {
        {"plain resize",
         true,
         false,
         WindowMessage::Sized(WindowMessageId::Size, 640, 480),
         0,
         {"WindowResized 640 480"},
         640,
         480},
        {"maximize",
         true,
         false,
         WindowMessage::Sized(WindowMessageId::Size, 1920, 1080, SizeKind::Maximized),
         0,
         {"WindowResized 1920 1080", "WindowMaximized"},
         1920,
         1080},
        {"minimize",
         true,
         false,
         WindowMessage::Sized(WindowMessageId::Size, 640, 480, SizeKind::Minimized),
         0,
         {"WindowMinimized"},
         640,
         480},
        {"resize before ready",
         false,
         false,
         WindowMessage::Sized(WindowMessageId::Size, 320, 200),
         0,
         {},
         320,
         200},
        {"deactivate", true, false, WindowMessage::Activation(false, false), 0, {"LostFocus"}, 800, 600},
        {"activate", true, false, WindowMessage::Activation(true, false), 0, {"RegainedFocus"}, 800, 600},
        {"reactivate",
         true,
         true,
         WindowMessage::Activation(true, false),
         0,
         {"LostFocus", "RegainedFocus"},
         800,
         600},
        {"activate minimized", true, true, WindowMessage::Activation(true, true), 0, {}, 800, 600},
        {"activate before ready", false, false, WindowMessage::Activation(false, false), 0, {}, 800, 600},
        {"create", false, false, WindowMessage::Sized(WindowMessageId::Create, 1024, 700), 0, {}, 1024, 700},
    };
    for (const MessageCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        InputRig rig;
        if (c.ready)
            rig.StartWindow();
        if (c.lostFocusFirst)
            rig.Send(WindowMessage::Activation(false, false));
        rig.TakeJournal();
        EXPECT_EQ(rig.Send(c.message), c.result);
        EXPECT_EQ(rig.TakeJournal(), c.sent);
        EXPECT_EQ(rig.m_input->GetWindowWidth(), c.width);
        EXPECT_EQ(rig.m_input->GetWindowHeight(), c.height);
    }
}

TEST_F(InputWindowTest, EveryOtherMessageAnswersWhatItsHandlerSays)
{
    StartWindow();
    bool characterTaken = false;
    m_input->InterceptCharacter([&](char) { return characterTaken; });
    struct ResultCase
    {
        const char* name;
        WindowMessage message;
        platform::WindowResult result;
    };
    const ResultCase cases[] = {
        {"key down", WindowMessage::Key(WindowMessageId::KeyDown, 'A'), 1},
        {"key up of a held key", WindowMessage::Key(WindowMessageId::KeyUp, 'A'), 1},
        {"key up of a key not held", WindowMessage::Key(WindowMessageId::KeyUp, 'B'), 0},
        {"system key", WindowMessage::Key(WindowMessageId::SysKeyDown, 'X', 0, false, true), 0},
        {"F10", WindowMessage::Key(WindowMessageId::SysKeyDown, platform::vk::F10), 0},
        {"character not taken", WindowMessage::Char(U'a'), 0},
        {"mouse move", WindowMessage::Mouse(WindowMessageId::MouseMove, 5, 5), 1},
        {"button down", WindowMessage::Mouse(WindowMessageId::RightButtonDown, 5, 5), 1},
        {"button up of a held button", WindowMessage::Mouse(WindowMessageId::RightButtonUp, 5, 5), 1},
        {"button up of a button not held", WindowMessage::Mouse(WindowMessageId::MiddleButtonUp, 5, 5), 0},
        {"extra button", WindowMessage::Mouse(WindowMessageId::ExtraButtonDown, 5, 5), 0},
        {"wheel", WindowMessage::Wheel(120), 1},
        {"device change", WindowMessage::Plain(WindowMessageId::DeviceChange), 1},
        {"drop without files", WindowMessage::Drop(nullptr), 0},
        {"mouse leave", WindowMessage::Plain(WindowMessageId::MouseLeave), 0},
    };
    for (const ResultCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Send(c.message), c.result);
    }
    characterTaken = true;
    EXPECT_EQ(Send(WindowMessage::Char(U'a')), 1);
    EXPECT_FALSE(m_window->IsDestroyed());
    EXPECT_TRUE(TakeJournal().empty());
}

TEST_F(InputWindowTest, AltF4ClosesTheWindowAndQuitsOnceWhileClosingMakesTheWindowNotReady)
{
    StartWindow();
    EXPECT_EQ(Send(WindowMessage::Key(WindowMessageId::SysKeyDown, platform::vk::F4, 0x3E, false, true)), 0);
    EXPECT_TRUE(m_window->IsDestroyed());
    EXPECT_EQ(TakeJournal(), Journal{"Quit"});
    EXPECT_FALSE(m_input->IsWindowReady());

    // After the quit the queue delivers a quit message that belongs to no window; it reaches nothing.
    platform::QueuedMessage queued;
    ASSERT_TRUE(platform::MessageQueue::Get().Peek(queued));
    EXPECT_EQ(queued.message.id, WindowMessageId::Quit);
    EXPECT_EQ(queued.window, nullptr);
}

TEST_F(InputWindowTest, AQuitMessageHandedToTheInputSystemSendsQuitAndEndsTheWait)
{
    StartWindow();
    Send(WindowMessage::Activation(false, false));
    ASSERT_TRUE(m_input->IsInactive());
    TakeJournal();
    Input::HandleWindowMessage(*m_input, nullptr, WindowMessage::Plain(WindowMessageId::Quit));
    EXPECT_EQ(TakeJournal(), Journal{"Quit"});
    EXPECT_FALSE(m_input->IsInactive());
    EXPECT_FALSE(m_input->IsWindowReady());
}

TEST_F(InputWindowTest, PostedMessagesAreHandledWhenUpdatePumpsThem)
{
    StartWindow();
    Post(WindowMessage::Sized(WindowMessageId::Size, 300, 200, SizeKind::Maximized));
    Post(WindowMessage::Key(WindowMessageId::KeyDown, 'Q'));
    EXPECT_FALSE(m_input->IsKeyDown('Q'));
    EXPECT_TRUE(TakeJournal().empty());
    Frame();
    EXPECT_TRUE(m_input->IsKeyDown('Q'));
    EXPECT_EQ(TakeJournal(), (Journal{"WindowResized 300 200", "WindowMaximized"}));
}

TEST_F(InputWindowTest, LosingActivationReleasesEverythingAndUpdateWaitsUntilTheWindowIsActiveAgain)
{
    StartWindow();
    m_pads.Connect(1);
    m_input->ScanControllers();
    Journal keys;
    m_input->ListenKeyboard('W', [&](KeyState state) { keys.push_back("W " + std::to_string(state)); });
    m_input->ListenMouseButton(MOUSE_Left, [&](KeyState state, const Vector2&)
                               { keys.push_back("Left " + std::to_string(state)); });
    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'W'));
    Send(WindowMessage::Mouse(WindowMessageId::LeftButtonDown, 1, 1));
    keys.clear();
    TakeJournal();

    m_clock.m_onSleep = [&](unsigned call)
    {
        EXPECT_TRUE(m_input->IsInactive());
        if (call == 3)
            Post(WindowMessage::Activation(true, false));
    };
    Post(WindowMessage::Activation(false, false));
    const unsigned vibrationsBefore = m_pads.VibrationCalls(1);
    Frame();

    EXPECT_EQ(m_clock.m_sleeps, (std::vector<unsigned>{100, 100, 100}));
    EXPECT_EQ(TakeJournal(), (Journal{"LostFocus", "LostFocus", "RegainedFocus"}));
    EXPECT_EQ(keys, (Journal{"W 8", "Left 8"}));
    EXPECT_FALSE(m_input->IsKeyDown('W'));
    EXPECT_FALSE(m_input->IsInactive());
    // The motors are stopped at every step of the wait, then once more by the frame's pad poll.
    EXPECT_EQ(m_pads.VibrationCalls(1), vibrationsBefore + 4);
    EXPECT_EQ(m_pads.Vibration(1), platform::PadVibration{});
}

// A drop whose queries can fail by index.
class FlakyDrop final : public platform::DroppedFiles
{
public:
    FlakyDrop(std::vector<std::string> paths, std::size_t failing)
        : m_paths(std::move(paths)), m_failing(failing)
    {
    }
    std::size_t Count() const override { return m_paths.size(); }
    bool Query(std::size_t index, std::string& path, unsigned& errorCode) const override
    {
        if (index == m_failing)
        {
            errorCode = 5;
            return false;
        }
        path = m_paths[index];
        return true;
    }

private:
    std::vector<std::string> m_paths;
    std::size_t m_failing;
};

TEST_F(InputWindowTest, DroppedFilesArriveOnePerMessageInOrderWithLongPathsWholeAndAFailedQueryReported)
{
    StartWindow();
    EXPECT_TRUE(m_window->AcceptsFiles());
    const std::string longPath = "/home/player/" + std::string(600, 'x') + "/level.xml";
    CapturedErrors errors;
    Post(WindowMessage::Drop(std::make_shared<FlakyDrop>(
        std::vector<std::string>{"/tmp/first.png", "/tmp/second.png", longPath}, 1)));
    Frame();
    EXPECT_EQ(TakeJournal(), (Journal{"FileDrop /tmp/first.png", "FileDrop ", "FileDrop " + longPath}));
    ASSERT_EQ(errors.Count(), 1u);
    EXPECT_TRUE(errors.Any("Failed to query dropped files!\nGetLastError = 5")) << errors.Texts()[0];
}

TEST(InputGraphicsWindowTest, GraphicsMakesTheWindowWithInputInItsUserDataAndAnnouncesIt)
{
    platform::FakePads pads;
    platform::SetPads(&pads);
    {
        test::RunFolder folder;
        test::RecordingGraphics::WriteModelEffect(folder);
        test::RecordingGraphics devices;
        SystemManager systems;
        Input input;
        Graphics graphics;
        systems.AddSystem("Input", &input);
        systems.AddSystem("Graphics", &graphics);
        std::vector<std::string> sent;
        systems.GetMessageManager().RegisterListener<void(platform::WindowHandle)>(
            "WindowCreated",
            [&](platform::WindowHandle window) { sent.push_back(window ? "window" : "null"); });
        systems.GetMessageManager().RegisterListener<void(unsigned, unsigned)>(
            "WindowSizeRefreshed", [&](unsigned width, unsigned height)
            { sent.push_back(std::to_string(width) + "x" + std::to_string(height)); });
        input.Init();
        graphics.Init();

        platform::WindowHandle window = graphics.GetWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->UserData(), &input);
        EXPECT_EQ(window->ClientWidth(), 800u);
        // Creation came before the user data, so the input system did not see it: not ready yet.
        EXPECT_FALSE(input.IsWindowReady());

        graphics.InitResources(systems.GetResourceManager());
        input.InitResources(systems.GetResourceManager());
        EXPECT_EQ(sent, (std::vector<std::string>{"window", "800x600"}));
        EXPECT_EQ(input.GetWindow(), window);
        EXPECT_TRUE(window->AcceptsFiles());
        EXPECT_TRUE(input.IsWindowReady());
        EXPECT_EQ(input.GetWindowWidth(), 800.0f);
    }
    platform::SetPads(nullptr);
}

} // namespace
} // namespace Quarn::test
