#pragma once

#include "platform/pads/Pads.h"

#include <SDL.h>
#include <array>
#include <cstdint>

namespace Quarn::platform
{

// Converts SDL readings to pad values: SDL's y axes point down, triggers run 0..32767.
std::int16_t UpAxisFromSdl(std::int16_t sdlAxis);
std::uint8_t TriggerFromSdl(std::int16_t sdlTrigger);
PadGamepad ReadGamepad(SDL_GameController* controller);

// The desktop's game controllers as pads. A free user index takes the next controller not yet in use
// when it is asked for its state; a controller that goes away frees its index. SDL rumble runs for a set
// time, so a running vibration is armed again before it ends.
class SdlPads final : public Pads
{
public:
    static constexpr std::uint32_t kRumbleMs = 1000;

    SdlPads();
    ~SdlPads() override;
    SdlPads(const SdlPads&) = delete;
    SdlPads& operator=(const SdlPads&) = delete;

    bool GetState(unsigned user, PadState& state) override;
    bool SetState(unsigned user, const PadVibration& vibration) override;

private:
    struct Slot
    {
        SDL_GameController* controller = nullptr;
        PadGamepad last;
        std::uint32_t packetNumber = 0;
        PadVibration armed;
        std::int64_t armedAt = 0;
    };

    bool Attach(Slot& slot);
    void Release(Slot& slot);

    std::array<Slot, kMaxPads> m_slots;
    bool m_ready = false;
};

} // namespace Quarn::platform
