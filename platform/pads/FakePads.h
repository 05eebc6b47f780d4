#pragma once

#include "platform/pads/Pads.h"

#include <array>

namespace Quarn::platform
{

// Pads for tests: plugged in and moved by hand; every vibration set is kept.
class FakePads final : public Pads
{
public:
    void Connect(unsigned user, bool connected = true) { m_pads.at(user).connected = connected; }
    // A new reading; the packet number moves on when it differs from the last.
    void Move(unsigned user, const PadGamepad& gamepad);
    // An exact state, packet number included (a pad may report a new reading under an old number).
    void SetRaw(unsigned user, const PadState& state) { m_pads.at(user).state = state; }

    const PadVibration& Vibration(unsigned user) const { return m_pads.at(user).vibration; }
    unsigned VibrationCalls(unsigned user) const { return m_pads.at(user).vibrationCalls; }
    unsigned StateCalls(unsigned user) const { return m_pads.at(user).stateCalls; }

    bool GetState(unsigned user, PadState& state) override;
    // Kept even for a pad that is not there, which still fails the call.
    bool SetState(unsigned user, const PadVibration& vibration) override;

private:
    struct Pad
    {
        bool connected = false;
        PadState state;
        PadVibration vibration;
        unsigned vibrationCalls = 0;
        unsigned stateCalls = 0;
    };
    std::array<Pad, kMaxPads> m_pads;
};

} // namespace Quarn::platform
