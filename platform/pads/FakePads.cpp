#include "platform/pads/FakePads.h"

namespace Quarn::platform
{

void FakePads::Move(unsigned user, const PadGamepad& gamepad)
{
    Pad& pad = m_pads.at(user);
    if (pad.state.gamepad == gamepad)
        return;
    pad.state.gamepad = gamepad;
    ++pad.state.packetNumber;
}

bool FakePads::GetState(unsigned user, PadState& state)
{
    if (user >= kMaxPads)
        return false;
    Pad& pad = m_pads[user];
    ++pad.stateCalls;
    if (!pad.connected)
        return false;
    state = pad.state;
    return true;
}

bool FakePads::SetState(unsigned user, const PadVibration& vibration)
{
    if (user >= kMaxPads)
        return false;
    Pad& pad = m_pads[user];
    ++pad.vibrationCalls;
    pad.vibration = vibration;
    return pad.connected;
}

} // namespace Quarn::platform
