#include "platform/pads/SdlPads.h"

#include "platform/core/Clock.h"

#include <algorithm>

namespace Quarn::platform
{

namespace
{
struct ButtonRow
{
    SDL_GameControllerButton sdl;
    std::uint16_t bit;
};

constexpr ButtonRow kButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, padbutton::DPadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, padbutton::DPadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, padbutton::DPadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, padbutton::DPadRight},
    {SDL_CONTROLLER_BUTTON_START, padbutton::Start},
    {SDL_CONTROLLER_BUTTON_BACK, padbutton::Back},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, padbutton::LeftThumb},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, padbutton::RightThumb},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, padbutton::LeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, padbutton::RightShoulder},
    {SDL_CONTROLLER_BUTTON_A, padbutton::A},
    {SDL_CONTROLLER_BUTTON_B, padbutton::B},
    {SDL_CONTROLLER_BUTTON_X, padbutton::X},
    {SDL_CONTROLLER_BUTTON_Y, padbutton::Y},
};
} // namespace

std::int16_t UpAxisFromSdl(std::int16_t sdlAxis)
{
    return static_cast<std::int16_t>(std::min(-static_cast<int>(sdlAxis), 32767));
}

std::uint8_t TriggerFromSdl(std::int16_t sdlTrigger)
{
    const int value = std::max(static_cast<int>(sdlTrigger), 0);
    return static_cast<std::uint8_t>(value * 255 / 32767);
}

PadGamepad ReadGamepad(SDL_GameController* controller)
{
    PadGamepad pad;
    for (const ButtonRow& row : kButtons)
    {
        if (SDL_GameControllerGetButton(controller, row.sdl))
            pad.buttons |= row.bit;
    }
    pad.leftTrigger = TriggerFromSdl(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
    pad.rightTrigger =
        TriggerFromSdl(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
    pad.thumbLX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
    pad.thumbLY = UpAxisFromSdl(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
    pad.thumbRX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTX);
    pad.thumbRY = UpAxisFromSdl(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTY));
    return pad;
}

SdlPads::SdlPads() : m_ready(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) {}

SdlPads::~SdlPads()
{
    // After SDL has been shut down as a whole its controllers are gone already.
    if (!m_ready || !SDL_WasInit(SDL_INIT_GAMECONTROLLER))
        return;
    for (Slot& slot : m_slots)
        Release(slot);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool SdlPads::Attach(Slot& slot)
{
    const int count = SDL_NumJoysticks();
    for (int device = 0; device < count; ++device)
    {
        if (!SDL_IsGameController(device))
            continue;
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device);
        const bool taken = std::any_of(m_slots.begin(), m_slots.end(),
                                       [id](const Slot& other)
                                       {
                                           return other.controller &&
                                                  SDL_JoystickInstanceID(
                                                      SDL_GameControllerGetJoystick(other.controller)) == id;
                                       });
        if (taken)
            continue;
        slot.controller = SDL_GameControllerOpen(device);
        if (slot.controller)
        {
            slot.last = ReadGamepad(slot.controller);
            slot.armed = PadVibration{};
            return true;
        }
    }
    return false;
}

void SdlPads::Release(Slot& slot)
{
    if (slot.controller)
        SDL_GameControllerClose(slot.controller);
    slot.controller = nullptr;
}

bool SdlPads::GetState(unsigned user, PadState& state)
{
    if (!m_ready || user >= kMaxPads)
        return false;
    Slot& slot = m_slots[user];
    if (slot.controller && !SDL_GameControllerGetAttached(slot.controller))
        Release(slot);
    if (!slot.controller && !Attach(slot))
        return false;
    const PadGamepad now = ReadGamepad(slot.controller);
    if (!(now == slot.last))
    {
        slot.last = now;
        ++slot.packetNumber;
    }
    state.packetNumber = slot.packetNumber;
    state.gamepad = slot.last;
    return true;
}

bool SdlPads::SetState(unsigned user, const PadVibration& vibration)
{
    if (!m_ready || user >= kMaxPads || !m_slots[user].controller)
        return false;
    Slot& slot = m_slots[user];
    Clock& clock = GetClock();
    const std::int64_t now = clock.Ticks();
    const bool running = vibration.leftMotorSpeed != 0 || vibration.rightMotorSpeed != 0;
    const bool halfGone = now - slot.armedAt >= clock.Frequency() * kRumbleMs / 2000;
    if (vibration == slot.armed && (!running || !halfGone))
        return true;
    SDL_GameControllerRumble(slot.controller, vibration.leftMotorSpeed, vibration.rightMotorSpeed,
                             running ? kRumbleMs : 0);
    slot.armed = vibration;
    slot.armedAt = now;
    return true;
}

} // namespace Quarn::platform
