#include "platform/pads/Pads.h"

#include "platform/core/Headless.h"
#include "platform/pads/SdlPads.h"

namespace Quarn::platform
{

namespace
{
// A machine without pads.
class NoPads final : public Pads
{
public:
    bool GetState(unsigned, PadState&) override { return false; }
    bool SetState(unsigned, const PadVibration&) override { return false; }
};

Pads* g_installed = nullptr;

Pads& DefaultPads()
{
    if (IsHeadless())
    {
        static NoPads none;
        return none;
    }
    static SdlPads controllers;
    return controllers;
}
} // namespace

Pads& GetPads()
{
    return g_installed ? *g_installed : DefaultPads();
}

void SetPads(Pads* pads)
{
    g_installed = pads;
}

} // namespace Quarn::platform
