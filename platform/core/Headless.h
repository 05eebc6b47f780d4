#pragma once

namespace Quarn::platform
{

// A headless run uses no display, no audio device and no modal boxes (tests, CI, --headless).
bool IsHeadless();
void SetHeadless(bool headless);

} // namespace Quarn::platform
