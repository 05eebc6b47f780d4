#pragma once

#include "platform/pads/PadState.h"

namespace Quarn::platform
{

// Up to four pads by user index 0..3. A pad that is not there fails both calls.
class Pads
{
public:
    virtual ~Pads() = default;
    virtual bool GetState(unsigned user, PadState& state) = 0;
    // Sets the motors; they keep running at that speed until the next call.
    virtual bool SetState(unsigned user, const PadVibration& vibration) = 0;
};

// The process's pads: the desktop's game controllers, or none in a headless run, unless others were
// installed.
Pads& GetPads();
// Installs pads (null restores the default). The caller keeps ownership.
void SetPads(Pads* pads);

} // namespace Quarn::platform
