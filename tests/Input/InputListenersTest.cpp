#include "InputTestSupport.h"

#include "Core/MessageManager.h"
#include "Core/RestartGameException.h"
#include "Graphics/Graphics.h"
#include "Input/ScriptCallback.h"
#include "platform/window/MessageQueue.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"

#include <gtest/gtest.h>

namespace Quarn::test
{
namespace
{

using platform::WindowMessage;
using platform::WindowMessageId;
using Journal = std::vector<std::string>;

class InputListenersTest : public InputFixture
{
protected:
    InputListenersTest() { StartWindow(); }

    void PressKey(unsigned char key) { Post(WindowMessage::Key(WindowMessageId::KeyDown, key)); }
    void ReleaseKey(unsigned char key) { Post(WindowMessage::Key(WindowMessageId::KeyUp, key)); }

    Journal m_events;
};

TEST_F(InputListenersTest, EveryKeyListenerKindHearsItsStatesInRegistrationOrder)
{
    m_input->ListenKeyboardReleased('K', [&] { m_events.push_back("released"); });
    m_input->ListenKeyboard('K', [&](KeyState state) { m_events.push_back("all " + std::to_string(state)); });
    m_input->ListenKeyboardDown('K', [&] { m_events.push_back("down"); });
    m_input->ListenKeyboardPressed('K', [&] { m_events.push_back("pressed"); });
    m_input->ListenKeyboard('K',
                            [&](KeyState state) { m_events.push_back("second " + std::to_string(state)); });

    PressKey('K');
    Frame();
    ReleaseKey('K');
    Frame();
    EXPECT_EQ(m_events, (Journal{"all 2", "pressed", "second 2", "all 4", "down", "second 4", "released",
                                 "all 8", "second 8"}));
}

TEST_F(InputListenersTest, ARegistrationInsideAListenerTakesEffectFromTheNextEventOn)
{
    int later = 0;
    m_input->ListenKeyboardPressed('K',
                                   [&]
                                   {
                                       m_events.push_back("first");
                                       m_input->ListenKeyboardPressed('K', [&] { ++later; });
                                   });
    PressKey('K');
    Frame();
    EXPECT_EQ(later, 0);
    ReleaseKey('K');
    PressKey('K');
    Frame();
    EXPECT_EQ(later, 1);
    EXPECT_EQ(m_events, (Journal{"first", "first"}));
}

TEST_F(InputListenersTest, TheQueueWaitsForTheOutermostDispatchEvenWhenAListenerDispatchesAgain)
{
    int nested = 0;
    // A listener that registers for another key, then makes that key's event happen inside its own
    // dispatch: the inner dispatch ends first, and must not apply the registration under the outer walk.
    m_input->ListenKeyboardPressed('A',
                                   [&]
                                   {
                                       m_input->ListenKeyboardPressed('B', [&] { ++nested; });
                                       m_input->ListenKeyboardPressed('A',
                                                                      [&] { m_events.push_back("late A"); });
                                       m_input->SendKeyState('B', KEY_Pressed);
                                       EXPECT_EQ(nested, 0);
                                       EXPECT_EQ(m_input->GetListeners().keys['A'].size(), 1u);
                                   });
    // Outside Update too: a message handled straight away dispatches with the same care.
    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'A'));
    EXPECT_EQ(m_input->GetListeners().keys['A'].size(), 2u);
    EXPECT_TRUE(m_events.empty());
    m_input->SendKeyState('B', KEY_Pressed);
    EXPECT_EQ(nested, 1);
}

TEST_F(InputListenersTest, LoadingAStateReleasesHeldKeysThroughTheOldListenersThenSwapsTheTables)
{
    m_input->ListenKeyboard('S', [&](KeyState state) { m_events.push_back("old " + std::to_string(state)); });
    m_input->SaveState("Menu");
    EXPECT_EQ(m_input->CurrentState(), "");
    m_input->ListenKeyboard('S', [&](KeyState state) { m_events.push_back("new " + std::to_string(state)); });
    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'S'));
    m_events.clear();

    m_input->LoadState("Menu");
    EXPECT_EQ(m_events, (Journal{"old 8", "new 8"}));
    EXPECT_FALSE(m_input->IsKeyDown('S'));
    EXPECT_EQ(m_input->CurrentState(), "Menu");
    m_events.clear();
    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'S'));
    EXPECT_EQ(m_events, (Journal{"old 2"}));

    // Saving again under a name replaces what it held; a name never saved changes nothing.
    m_input->ListenAnyKey([&] { m_events.push_back("any"); });
    m_input->SaveState("Menu");
    m_input->LoadState("Nowhere");
    EXPECT_EQ(m_input->CurrentState(), "Menu");
    m_input->LoadState("Menu");
    m_events.clear();
    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'S'));
    EXPECT_EQ(m_events, (Journal{"any", "old 2"}));
}

TEST_F(InputListenersTest, ALoadRequestedInsideAListenerSwapsTheTablesOnlyAfterTheDispatch)
{
    m_input->SaveState("Empty");
    m_input->ListenKeyboardPressed('L',
                                   [&]
                                   {
                                       m_input->LoadState("Empty");
                                       m_events.push_back("first");
                                   });
    m_input->ListenKeyboardPressed('L', [&] { m_events.push_back("second"); });
    PressKey('L');
    Frame();
    EXPECT_EQ(m_events, (Journal{"first", "second"}));
    EXPECT_EQ(m_input->CurrentState(), "Empty");
    EXPECT_TRUE(m_input->GetListeners().keys['L'].empty());
}

TEST_F(InputListenersTest, AWarmResetRestoresFreshStateWithoutScriptListenersOrQueuedCalls)
{
    int engine = 0;
    int script = 0;
    int queued = 0;
    m_input->ListenKeyboardPressed('R', [&] { ++engine; });
    m_input->ListenKeyboardPressed('R', ScriptCallback<void()>([&] { ++script; }));
    m_input->ListenMouseWheel(ScriptCallback<void(float)>([&](float) { ++script; }));
    m_input->Rumble(0, ScriptCallback<float(float, bool&)>([&](float, bool&) { return float(++script); }),
                    RUMBLETYPE_Both);
    m_input->SaveState("FreshState");
    m_input->SaveState("Game");
    m_input->ListenAnyKey([&] { ++engine; });
    m_input->ListenKeyboardPressed('Q', [&] { m_input->ListenAnyKey([&] { ++queued; }); });
    // A restart thrown from inside a dispatch leaves the registration it made in the queue.
    m_input->ListenKeyboardPressed('Q', [&] { throw RestartGameException(); });
    EXPECT_THROW(m_input->SendKeyState('Q', KEY_Pressed), RestartGameException);

    m_input->WarmReset();
    Frame();
    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'R'));
    Send(WindowMessage::Wheel(120));
    EXPECT_EQ(engine, 1);
    EXPECT_EQ(script, 0);
    EXPECT_EQ(queued, 0);
    EXPECT_EQ(m_input->GetListeners().keys['R'].size(), 1u);

    // Every saved state has lost its script listeners.
    m_input->LoadState("Game");
    EXPECT_EQ(m_input->GetListeners().keys['R'].size(), 1u);
    EXPECT_TRUE(m_input->GetListeners().mouseWheel.empty());
    EXPECT_TRUE(m_input->GetListeners().rumble[RUMBLETYPE_Both][0].empty());
}

TEST_F(InputListenersTest, AWarmResetWithoutFreshStateLeavesNoListeners)
{
    m_input->ListenAnyKey([&] { m_events.push_back("any"); });
    m_input->WarmReset();
    Send(WindowMessage::Key(WindowMessageId::KeyDown, 'R'));
    EXPECT_TRUE(m_events.empty());
    EXPECT_EQ(m_input->CurrentState(), "");
}

TEST_F(InputListenersTest, NumbersOutOfRangeAreReportedAndRegisterNothing)
{
    CapturedErrors errors;
    const auto& lists = m_input->GetListeners();
    m_input->ListenControllerButton(4, XBOX_A, [](KeyState) {});
    m_input->ListenControllerButtonPressed(0, static_cast<ControllerButtons>(14), [] {});
    m_input->ListenControllerButtonDown(0, static_cast<ControllerButtons>(-1), [] {});
    m_input->ListenMouseButton(static_cast<MouseButtons>(260), [](KeyState, const Vector2&) {});
    m_input->ListenMouseButtonReleased(static_cast<MouseButtons>(-5), [](const Vector2&) {});
    m_input->Rumble(
        9, [](float, bool&) { return 1.0f; }, RUMBLETYPE_Light);
    m_input->ListenControllerLThumb(200, [](const Vector2&, const Vector2&) {});
    m_input->ListenControllerRTriggerTapped(4, [] {});
    EXPECT_EQ(errors.Count(), 8u);
    EXPECT_TRUE(errors.Any("ListenControllerButton: pad 4 is not a pad number 0-3"));
    for (const auto& list : lists.controllerButtons)
        EXPECT_TRUE(list.empty());
    for (const auto& list : lists.mouseButtons)
        EXPECT_TRUE(list.empty());
    EXPECT_TRUE(lists.thumbFrames[STICK_Left].empty());
    EXPECT_TRUE(lists.triggerChanges[TRIGGER_Right].empty());

    m_input->ListenMouseButton(MOUSE_X2, [](KeyState, const Vector2&) {});
    m_input->ListenControllerButton(3, XBOX_Y, [](KeyState) {});
    EXPECT_EQ(errors.Count(), 8u);
}

// The engine's frame loop around the input system and the window: a warm reset must leave the input
// system hearing its messages, and closing the window must still end the run.
class DriverSystem : public SystemT<DriverSystem>
{
public:
    bool Serialize(Serializer&) override { return true; }
    const char* GetName() const override { return "Driver"; }
    void Update(float) override { m_onUpdate(++m_updates); }
    void Init() override {}
    void InitResources(ResourceManager&) override { ++m_initResources; }

    std::function<void(int)> m_onUpdate;
    int m_updates = 0;
    int m_initResources = 0;
};

TEST(InputWarmResetTest, AfterWarmResetsInputStillHearsItsMessagesAndClosingTheWindowQuits)
{
    platform::FakePads pads;
    pads.Connect(0);
    platform::SetPads(&pads);
    {
        test::RunFolder folder;
        test::RecordingGraphics::WriteModelEffect(folder);
        test::RecordingGraphics devices;
        SystemManager systems;
        Input input;
        Graphics graphics;
        DriverSystem driver;
        systems.AddSystem("Input", &input);
        systems.AddSystem("Graphics", &graphics);
        systems.AddSystem("Driver", &driver);

        int keys = 0;
        int quits = 0;
        std::vector<float> widths;
        driver.m_onUpdate = [&](int frame)
        {
            MessageManager& messages = systems.GetMessageManager();
            if (frame == 1)
            {
                input.ListenKeyboardPressed('K', [&] { ++keys; });
                input.SaveState("FreshState");
            }
            if (frame <= 2)
                throw RestartGameException();
            if (frame == 3)
            {
                messages.RegisterListener<void()>("Quit", [&] { ++quits; });
                messages.SendMessage("WindowResized", 1000u, 500u);
                widths.push_back(input.GetWindowWidth());
                input.Rumble(
                    0, [](float, bool&) { return 1.0f; }, RUMBLETYPE_Light);
                graphics.GetWindow()->Post(WindowMessage::Key(WindowMessageId::KeyDown, 'K'));
            }
            if (frame == 4)
            {
                messages.SendMessage("StopRumble");
                graphics.GetWindow()->Post(WindowMessage::Plain(WindowMessageId::Close));
            }
            if (frame > 10)
                messages.SendMessage("Quit");
        };
        systems.Run();

        // The fifth frame ends in Input, which hears the window close.
        EXPECT_EQ(driver.m_updates, 4);
        EXPECT_EQ(driver.m_initResources, 3);
        EXPECT_EQ(keys, 1);
        EXPECT_EQ(quits, 1);
        EXPECT_EQ(widths, (std::vector<float>{1000.0f}));
        EXPECT_TRUE(input.GetListeners().rumble[RUMBLETYPE_Light][0].empty());
        EXPECT_EQ(pads.Vibration(0), platform::PadVibration{});
        EXPECT_EQ(input.GetWindow(), graphics.GetWindow());
        EXPECT_TRUE(graphics.GetWindow()->IsDestroyed());
    }
    platform::QueuedMessage drained;
    while (platform::MessageQueue::Get().Peek(drained))
    {
    }
    platform::SetPads(nullptr);
}

} // namespace
} // namespace Quarn::test
