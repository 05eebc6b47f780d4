#include "InputTestSupport.h"

#include "Core/MessageManager.h"
#include "Core/TimeManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Quarn::test
{
namespace
{

using platform::PadGamepad;
using Journal = std::vector<std::string>;

float Length(const Vector2& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y);
}

TEST(InputDeadZoneTest, SticksAreZeroInsideTheirDeadZoneAndOneAtFullDeflectionWithDirectionKept)
{
    constexpr float kSpan = 32767.0f - 7849.0f;
    struct Case
    {
        short x, y;
        Vector2 expected;
    };
    const Case cases[] = {
        {0, 0, {0, 0}},       {7849, 0, {0, 0}},         {0, -7849, {0, 0}},
        {5000, 5000, {0, 0}}, {7850, 0, {1 / kSpan, 0}}, {32767, 0, {1, 0}},
        {-32768, 0, {-1, 0}}, {0, 32767, {0, 1}},        {0, 20000, {0, (20000 - 7849) / kSpan}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        const Vector2 value = Input::ApplyThumbDeadZone(c.x, c.y, Input::kLeftThumbDeadZone);
        EXPECT_NEAR(value.x, c.expected.x, 1e-6f);
        EXPECT_NEAR(value.y, c.expected.y, 1e-6f);
    }
    // Corners reach further than the edge but never read longer than 1.
    for (short x : {short(32767), short(-32768)})
    {
        for (short y : {short(32767), short(-32768)})
        {
            const Vector2 corner = Input::ApplyThumbDeadZone(x, y, Input::kRightThumbDeadZone);
            EXPECT_NEAR(Length(corner), 1.0f, 1e-6f);
            EXPECT_NEAR(corner.x, std::copysign(std::sqrt(0.5f), float(x)), 1e-4f);
        }
    }
}

TEST(InputDeadZoneTest, TriggersReadZeroUpToTheirThresholdThenRiseToOne)
{
    const std::pair<std::uint8_t, float> cases[] = {
        {0, 0}, {30, 0}, {31, 1 / 225.0f}, {142, 112 / 225.0f}, {255, 1}};
    for (const auto& [raw, expected] : cases)
        EXPECT_FLOAT_EQ(Input::TriggerValue(raw), expected) << int(raw);
}

class InputPadsTest : public InputFixture
{
protected:
    InputPadsTest()
    {
        m_pads.Connect(0);
        m_pads.Connect(2);
        m_input->ScanControllers();
    }

    void Press(unsigned pad, std::uint16_t buttons)
    {
        PadGamepad gamepad = m_gamepads[pad];
        gamepad.buttons = buttons;
        Move(pad, gamepad);
    }

    void Move(unsigned pad, const PadGamepad& gamepad)
    {
        m_gamepads[pad] = gamepad;
        m_pads.Move(pad, gamepad);
    }

    void Pause() { m_systems->GetTimeManager().SetPause(); }

    std::array<PadGamepad, 4> m_gamepads{};
};

TEST_F(InputPadsTest, AButtonHeldTwoFramesIsPressedDownDownThenReleasedForItsOwnPadOnly)
{
    Journal events;
    m_input->ListenControllerButton(0, XBOX_A,
                                    [&](KeyState state) { events.push_back("A " + std::to_string(state)); });
    m_input->ListenControllerButtonPressed(2, XBOX_A, [&] { events.push_back("pad 2 A pressed"); });
    int anyKey = 0;
    m_input->ListenAnyKey([&] { ++anyKey; });

    Press(0, platform::padbutton::A);
    Frame();
    EXPECT_EQ(events, (Journal{"A 2", "A 4"}));
    Frame();
    EXPECT_EQ(events, (Journal{"A 2", "A 4", "A 4"}));
    Press(0, 0);
    Frame();
    EXPECT_EQ(events, (Journal{"A 2", "A 4", "A 4", "A 8"}));
    EXPECT_EQ(anyKey, 1);

    Press(2, platform::padbutton::A);
    Frame();
    EXPECT_EQ(events.back(), "pad 2 A pressed");
    EXPECT_EQ(anyKey, 2);
}

TEST_F(InputPadsTest, ButtonChangesComeInTheirFixedOrderAndAnUnchangedPacketNumberMakesNoNewEdge)
{
    Journal events;
    for (ControllerButtons button : {XBOX_DPad_Up, XBOX_Start, XBOX_B, XBOX_Back, XBOX_RShoulder})
        m_input->ListenControllerButtonPressed(
            0, button, [&events, button] { events.push_back(std::to_string(button)); });
    Press(0, platform::padbutton::DPadUp | platform::padbutton::Start | platform::padbutton::B |
                 platform::padbutton::Back | platform::padbutton::RightShoulder);
    Frame();
    EXPECT_EQ(events, (Journal{"5", "4", "11", "0", "9"}));

    // A reading that changed under the number already taken counts as the same reading.
    platform::PadState raw;
    raw.packetNumber = 1;
    raw.gamepad.buttons = platform::padbutton::A | platform::padbutton::X;
    m_pads.SetRaw(0, raw);
    events.clear();
    m_input->ListenControllerButton(0, XBOX_X,
                                    [&](KeyState state) { events.push_back("X " + std::to_string(state)); });
    Frame();
    Frame();
    EXPECT_TRUE(events.empty());
}

TEST_F(InputPadsTest, AnUnpluggedPadIsSilentUntilADeviceChangeFindsItAgain)
{
    int downs = 0;
    m_input->ListenControllerButtonDown(0, XBOX_Y, [&] { ++downs; });
    Press(0, platform::padbutton::Y);
    Frame();
    EXPECT_EQ(downs, 1);
    m_pads.Connect(0, false);
    Frame();
    m_pads.Connect(0, true);
    const unsigned polls = m_pads.StateCalls(0);
    Frame();
    EXPECT_EQ(m_pads.StateCalls(0), polls);
    EXPECT_EQ(downs, 1);

    Send(platform::WindowMessage::Plain(platform::WindowMessageId::DeviceChange));
    Frame();
    EXPECT_EQ(downs, 2);
}

TEST_F(InputPadsTest, PerFrameStickAndTriggerListsHearEveryPollWhileChangeListsHearOnlyChanges)
{
    std::vector<std::pair<Vector2, Vector2>> everyFrame;
    std::vector<std::pair<Vector2, Vector2>> changes;
    std::vector<unsigned> anyPadChanges;
    std::vector<std::pair<float, float>> triggerFrames;
    std::vector<std::pair<float, float>> triggerChanges;
    m_input->ListenControllerRThumb(2, [&](const Vector2& p, const Vector2& d)
                                    { everyFrame.emplace_back(p, d); });
    m_input->ListenLThumbMoveAnyPad([&](unsigned char pad, const Vector2& p, const Vector2& d)
                                    { anyPadChanges.push_back(pad), changes.emplace_back(p, d); });
    m_input->ListenControllerLTrigger(0, [&](float v, float d) { triggerFrames.emplace_back(v, d); });
    m_input->ListenControllerLTriggerMove(0, [&](float v, float d) { triggerChanges.emplace_back(v, d); });

    Frame();
    PadGamepad gamepad;
    gamepad.thumbRX = 32767;
    gamepad.thumbLY = -32768;
    Move(2, gamepad);
    gamepad = {};
    gamepad.leftTrigger = 255;
    Move(0, gamepad);
    Frame();
    Frame();

    using Move = std::pair<Vector2, Vector2>;
    EXPECT_EQ(everyFrame, (std::vector<Move>{{{0, 0}, {0, 0}}, {{1, 0}, {1, 0}}, {{1, 0}, {0, 0}}}));
    EXPECT_EQ(changes, (std::vector<Move>{{{0, -1}, {0, -1}}}));
    EXPECT_EQ(anyPadChanges, (std::vector<unsigned>{2}));
    EXPECT_EQ(triggerFrames, (std::vector<std::pair<float, float>>{{0, 0}, {1, 1}, {1, 0}}));
    EXPECT_EQ(triggerChanges, (std::vector<std::pair<float, float>>{{1, 1}}));
    EXPECT_EQ(m_input->GetRThumb(2), Vector2(1, 0));
    EXPECT_EQ(m_input->GetLThumb(2), Vector2(0, -1));
    EXPECT_EQ(m_input->GetLTrigger(0), 1.0f);
    EXPECT_EQ(m_input->GetRTrigger(0), 0.0f);
    EXPECT_EQ(m_input->GetLThumb(7), Vector2());
    EXPECT_EQ(m_input->GetLTrigger(200), 0.0f);
}

// Rumble functions returning fixed strengths, by type, and the motor speeds they make.
struct RumbleCase
{
    const char* name;
    std::vector<std::pair<RumbleType, float>> entries;
    std::uint16_t heavy; // left motor
    std::uint16_t light; // right motor
};

TEST_F(InputPadsTest, RumbleSumsDriveTheMotorsClampedToTheirRangeWithNaNAsZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const RumbleCase cases[] = {
        {"nothing", {}, 0, 0},
        {"light", {{RUMBLETYPE_Light, 0.5f}}, 0, 32767},
        {"two lights past one", {{RUMBLETYPE_Light, 0.7f}, {RUMBLETYPE_Light, 0.7f}}, 0, 65534},
        {"heavy", {{RUMBLETYPE_Heavy, 0.25f}}, 16383, 0},
        {"both squares the heavy part", {{RUMBLETYPE_Both, 0.5f}}, 16383, 32767},
        {"far past one", {{RUMBLETYPE_Heavy, 1000.0f}}, 65534, 0},
        {"negative sum", {{RUMBLETYPE_Light, -0.05f}}, 0, 0},
        {"NaN counts nothing", {{RUMBLETYPE_Light, nan}, {RUMBLETYPE_Light, 0.5f}}, 0, 32767},
        {"infinity", {{RUMBLETYPE_Heavy, std::numeric_limits<float>::infinity()}}, 65534, 0},
    };
    for (const RumbleCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_input->StopRumble();
        for (const auto& [type, strength] : c.entries)
            m_input->Rumble(
                0, [strength](float, bool&) { return strength; }, type);
        Frame();
        EXPECT_EQ(m_pads.Vibration(0).leftMotorSpeed, c.heavy);
        EXPECT_EQ(m_pads.Vibration(0).rightMotorSpeed, c.light);
    }
}

TEST_F(InputPadsTest, RumblesEndWhenTheySayOrFallBelowTheLimitAndStopWhilePausedOrOnStopRumble)
{
    std::vector<float> dts;
    int calls = 0;
    m_input->Rumble(
        0,
        [&](float dt, bool& done)
        {
            dts.push_back(dt);
            done = ++calls == 2;
            return 0.5f;
        },
        RUMBLETYPE_Light);
    int fading = 0;
    m_input->Rumble(
        0,
        [&](float, bool&)
        {
            ++fading;
            return -0.2f;
        },
        RUMBLETYPE_Light);
    m_input->Rumble(
        0, [](float, bool&) { return 1.0f; }, static_cast<RumbleType>(3));

    Frame(0.5f);
    EXPECT_EQ(m_pads.Vibration(0).rightMotorSpeed, static_cast<std::uint16_t>(0.3f * 65534.0f));
    Frame(0.25f);
    EXPECT_EQ(m_pads.Vibration(0).rightMotorSpeed, 32767);
    Frame();
    EXPECT_EQ(m_pads.Vibration(0), platform::PadVibration{});
    EXPECT_EQ(dts, (std::vector<float>{0.5f, 0.25f}));
    EXPECT_EQ(fading, 1);

    int paused = 0;
    m_input->Rumble(
        2, [&](float, bool&) { return float(++paused); }, RUMBLETYPE_Heavy);
    Pause();
    Frame();
    EXPECT_EQ(paused, 0);
    EXPECT_EQ(m_pads.Vibration(2), platform::PadVibration{});
    m_systems->GetTimeManager().SetGame();
    Frame();
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(m_pads.Vibration(2).leftMotorSpeed, 65534);

    m_systems->GetMessageManager().SendMessage("StopRumble");
    EXPECT_EQ(m_pads.Vibration(2), platform::PadVibration{});
    Frame();
    EXPECT_EQ(paused, 1);
}

TEST_F(InputPadsTest, AStopRumbleRaisedByARumbleFunctionEndsTheWalkSafely)
{
    int after = 0;
    m_input->Rumble(
        0,
        [&](float, bool&)
        {
            m_systems->GetMessageManager().SendMessage("StopRumble");
            return 1.0f;
        },
        RUMBLETYPE_Light);
    m_input->Rumble(
        0, [&](float, bool&) { return float(++after); }, RUMBLETYPE_Light);
    m_input->Rumble(
        0, [&](float, bool&) { return float(++after); }, RUMBLETYPE_Both);
    Frame();
    Frame();
    EXPECT_EQ(after, 0);
    EXPECT_EQ(m_pads.Vibration(0), platform::PadVibration{});
}

struct TapCase
{
    const char* name;
    std::vector<short> pushes; // the left stick's y each frame
    float dt;
    int taps;
};

TEST_F(InputPadsTest, AThumbTapFiresOncePerQuickPushPastItsReachAndAgainOnlyAfterAFailingMove)
{
    const TapCase cases[] = {
        {"one quick push", {32767}, 0.1f, 1},
        {"held after the push", {32767, 32767, 32767}, 0.1f, 1},
        {"too slow", {32767}, 2.0f, 0},
        {"not far enough", {20000}, 0.1f, 0},
        {"pushed twice", {32767, 0, 32767}, 0.1f, 2},
        {"jiggled out past the reach", {32767, 32000}, 0.1f, 1},
        {"down is also a tap of the short form", {-32768}, 0.1f, 1},
    };
    for (const TapCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        InputRig rig;
        rig.m_pads.Connect(1);
        rig.m_input->ScanControllers();
        int taps = 0;
        int otherPad = 0;
        rig.m_input->ListenControllerLThumbTapped(1, [&] { ++taps; });
        rig.m_input->ListenControllerLThumbTapped(0, [&] { ++otherPad; });
        rig.m_systems->GetTimeManager().GetCurrentTimer()->SetDT(c.dt);
        for (short y : c.pushes)
        {
            PadGamepad gamepad;
            gamepad.thumbLY = y;
            rig.m_pads.Move(1, gamepad);
            rig.m_input->Update(c.dt);
        }
        EXPECT_EQ(taps, c.taps);
        EXPECT_EQ(otherPad, 0);
    }
}

TEST_F(InputPadsTest, DirectedThumbAndTriggerTapsKeepToTheirAngleValueAndSpeed)
{
    m_systems->GetTimeManager().GetCurrentTimer()->SetDT(0.1f);
    int right = 0;
    int left = 0;
    int trigger = 0;
    m_input->ListenControllerRThumbTapped(
        0, [&] { ++right; }, Vector2(1, 0), 1.0f, 0.5f, 0.5f, 0.5f);
    m_input->ListenControllerRThumbTapped(
        0, [&] { ++left; }, Vector2(-1, 0), 1.0f, 0.5f, 0.5f, 0.5f);
    m_input->ListenControllerRTriggerTapped(0, [&] { ++trigger; });

    PadGamepad gamepad;
    gamepad.thumbRX = 32767;
    const auto pull = [&](std::uint8_t trigger)
    {
        gamepad.rightTrigger = trigger;
        Move(0, gamepad);
        Frame();
    };
    pull(100); // 0.31: short of the default reach
    EXPECT_EQ(right, 1);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(trigger, 0);
    pull(255);
    pull(250);
    EXPECT_EQ(trigger, 1);
    pull(0);
    pull(255);
    EXPECT_EQ(trigger, 2);
}

} // namespace
} // namespace Quarn::test
