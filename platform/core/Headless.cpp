#include "platform/core/Headless.h"

namespace Quarn::platform
{

namespace
{
bool g_headless = false;
}

bool IsHeadless()
{
    return g_headless;
}

void SetHeadless(bool headless)
{
    g_headless = headless;
}

} // namespace Quarn::platform
