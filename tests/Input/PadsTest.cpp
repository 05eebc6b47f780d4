#include "platform/pads/FakePads.h"
#include "platform/pads/SdlPads.h"

#include <gtest/gtest.h>

namespace Quarn::platform
{
namespace
{

TEST(PadsTest, FakePadsCountPacketsOnlyWhenTheReadingChanges)
{
    FakePads pads;
    PadState state;
    EXPECT_FALSE(pads.GetState(0, state));
    EXPECT_FALSE(pads.GetState(4, state));
    pads.Connect(0);
    ASSERT_TRUE(pads.GetState(0, state));
    EXPECT_EQ(state.packetNumber, 0u);

    PadGamepad gamepad;
    gamepad.buttons = padbutton::A;
    pads.Move(0, gamepad);
    pads.Move(0, gamepad);
    ASSERT_TRUE(pads.GetState(0, state));
    EXPECT_EQ(state.packetNumber, 1u);
    EXPECT_EQ(state.gamepad.buttons, padbutton::A);

    gamepad.thumbLY = 100;
    pads.Move(0, gamepad);
    ASSERT_TRUE(pads.GetState(0, state));
    EXPECT_EQ(state.packetNumber, 2u);

    PadState raw;
    raw.packetNumber = 2;
    raw.gamepad.buttons = padbutton::B;
    pads.SetRaw(0, raw);
    ASSERT_TRUE(pads.GetState(0, state));
    EXPECT_EQ(state.packetNumber, 2u);
    EXPECT_EQ(state.gamepad.buttons, padbutton::B);
    EXPECT_EQ(pads.StateCalls(0), 5u);

    EXPECT_TRUE(pads.SetState(0, {100, 200}));
    EXPECT_FALSE(pads.SetState(3, {1, 2}));
    EXPECT_EQ(pads.Vibration(0), (PadVibration{100, 200}));
    EXPECT_EQ(pads.Vibration(3), (PadVibration{1, 2}));
    EXPECT_EQ(pads.VibrationCalls(3), 1u);
}

TEST(PadsTest, SdlReadingsBecomeUpwardAxesAndByteTriggers)
{
    struct AxisCase
    {
        std::int16_t sdl;
        std::int16_t up;
    };
    for (const AxisCase c : {AxisCase{0, 0}, AxisCase{-32768, 32767}, AxisCase{32767, -32767},
                             AxisCase{-1, 1}, AxisCase{1000, -1000}})
        EXPECT_EQ(UpAxisFromSdl(c.sdl), c.up) << c.sdl;

    struct TriggerCase
    {
        std::int16_t sdl;
        std::uint8_t value;
    };
    for (const TriggerCase c : {TriggerCase{0, 0}, TriggerCase{32767, 255}, TriggerCase{-5, 0},
                                TriggerCase{16384, 127}, TriggerCase{128, 0}, TriggerCase{129, 1}})
        EXPECT_EQ(TriggerFromSdl(c.sdl), c.value) << c.sdl;
}

} // namespace
} // namespace Quarn::platform
