#include "platform/core/Clock.h"
#include "platform/pads/SdlPads.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/SdlWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace Quarn::platform
{
namespace
{

std::vector<WindowMessage> g_received;

WindowResult Receive(WindowHandle, const WindowMessage& message)
{
    g_received.push_back(message);
    return 0;
}

std::vector<WindowMessageId> PumpIds()
{
    g_received.clear();
    PumpWindowMessages();
    std::vector<WindowMessageId> ids;
    for (const WindowMessage& message : g_received)
        ids.push_back(message.id);
    return ids;
}

// SDL's dummy video driver (set for every test program) makes real SDL windows without a display.
TEST(SdlDevicesTest, DesktopEventsReachTheirWindowThroughTheQueue)
{
    std::string error;
    std::unique_ptr<SdlWindow> window = SdlWindow::Open({"Sdl", 640, 480, Receive}, error);
    ASSERT_TRUE(window) << error;
    PumpIds();
    const Uint32 id = SDL_GetWindowID(window->Native());

    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.windowID = id;
    event.key.keysym.scancode = SDL_SCANCODE_SPACE;
    event.key.keysym.sym = SDLK_SPACE;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    event.key.windowID = id + 100; // another window's key
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    event = SDL_Event{};
    event.type = SDL_CONTROLLERDEVICEADDED;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_EQ(PumpIds(), (std::vector{WindowMessageId::KeyDown, WindowMessageId::DeviceChange}));

    // Dropped files reach a window only once it accepts them; the queue frees SDL's copies of the paths.
    for (bool accept : {false, true})
    {
        window->AcceptFiles(accept);
        event = SDL_Event{};
        event.drop.windowID = id;
        event.type = SDL_DROPBEGIN;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
        event.type = SDL_DROPFILE;
        event.drop.file = SDL_strdup("/tmp/dropped.txt");
        ASSERT_EQ(SDL_PushEvent(&event), 1);
        event.type = SDL_DROPCOMPLETE;
        event.drop.file = nullptr;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
        EXPECT_EQ(PumpIds().size(), accept ? 1u : 0u);
    }
    ASSERT_EQ(g_received.size(), 1u);
    ASSERT_EQ(g_received[0].files->Count(), 1u);

    window->Destroy();
    EXPECT_TRUE(window->IsDestroyed());
    EXPECT_EQ(window->Native(), nullptr);
    ASSERT_EQ(g_received.back().id, WindowMessageId::Destroy);
}

struct RumbleLog
{
    std::vector<std::pair<Uint16, Uint16>> calls;
};

int RecordRumble(void* userdata, Uint16 low, Uint16 high)
{
    static_cast<RumbleLog*>(userdata)->calls.emplace_back(low, high);
    return 0;
}

class SdlPadsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetClock(&m_clock);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.userdata = &m_rumble;
        desc.Rumble = RecordRumble;
        m_device = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(m_device, 0) << SDL_GetError();
        m_joystick = SDL_JoystickOpen(m_device);
        ASSERT_TRUE(m_joystick) << SDL_GetError();
    }
    void TearDown() override
    {
        if (m_joystick)
            SDL_JoystickClose(m_joystick);
        if (m_device >= 0)
            SDL_JoystickDetachVirtual(m_device);
        SetClock(nullptr);
    }

    void Set(SDL_GameControllerAxis axis, Sint16 value)
    {
        SDL_JoystickSetVirtualAxis(m_joystick, axis, value);
    }
    void Set(SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(m_joystick, button, down ? 1 : 0);
    }

    SdlPads m_pads; // first: it starts SDL's game controllers
    ManualClock m_clock;
    RumbleLog m_rumble;
    int m_device = -1;
    SDL_Joystick* m_joystick = nullptr;
};

TEST_F(SdlPadsTest, AControllerIsReadAsAPadWithYUpAndAPacketNumberThatMovesOnChange)
{
    PadState state;
    ASSERT_TRUE(m_pads.GetState(0, state));
    EXPECT_EQ(state.gamepad, PadGamepad{});
    Set(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    Set(SDL_CONTROLLER_AXIS_RIGHTX, 12000);
    Set(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    Set(SDL_CONTROLLER_BUTTON_A, true);
    Set(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    SDL_GameControllerUpdate();

    ASSERT_TRUE(m_pads.GetState(0, state));
    EXPECT_EQ(state.gamepad.thumbLY, 32767);
    EXPECT_EQ(state.gamepad.thumbRX, 12000);
    EXPECT_EQ(state.gamepad.rightTrigger, 255);
    EXPECT_EQ(state.gamepad.leftTrigger, 0);
    EXPECT_EQ(state.gamepad.buttons, padbutton::A | padbutton::DPadLeft);
    EXPECT_FALSE(m_pads.GetState(1, state)) << "one controller fills one user index";

    const std::uint32_t packet = state.packetNumber;
    ASSERT_TRUE(m_pads.GetState(0, state));
    EXPECT_EQ(state.packetNumber, packet);
    Set(SDL_CONTROLLER_BUTTON_A, false);
    SDL_GameControllerUpdate();
    ASSERT_TRUE(m_pads.GetState(0, state));
    EXPECT_EQ(state.packetNumber, packet + 1);
    EXPECT_EQ(state.gamepad.buttons, padbutton::DPadLeft);

    SDL_JoystickClose(m_joystick);
    m_joystick = nullptr;
    ASSERT_EQ(SDL_JoystickDetachVirtual(m_device), 0);
    m_device = -1;
    SDL_GameControllerUpdate();
    EXPECT_FALSE(m_pads.GetState(0, state));
    EXPECT_FALSE(m_pads.SetState(0, {1, 1}));
}

TEST_F(SdlPadsTest, MotorSpeedsReachTheControllerHeavyOnTheLowFrequency)
{
    PadState state;
    ASSERT_TRUE(m_pads.GetState(0, state));
    EXPECT_FALSE(m_pads.SetState(2, {5, 5}));
    EXPECT_TRUE(m_pads.SetState(0, {40000, 1000}));
    EXPECT_TRUE(m_pads.SetState(0, {40000, 1000}));
    m_clock.AdvanceSeconds(0.6); // past half the armed time: armed again
    EXPECT_TRUE(m_pads.SetState(0, {40000, 1000}));
    EXPECT_TRUE(m_pads.SetState(0, {0, 0}));
    EXPECT_TRUE(m_pads.SetState(0, {0, 0}));
    ASSERT_FALSE(m_rumble.calls.empty());
    EXPECT_EQ(m_rumble.calls.front(), (std::pair<Uint16, Uint16>{40000, 1000}));
    EXPECT_EQ(m_rumble.calls.back(), (std::pair<Uint16, Uint16>{0, 0}));
}

} // namespace
} // namespace Quarn::platform
