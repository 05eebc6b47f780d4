#pragma once

namespace Quarn::platform
{

// Shows or hides the mouse cursor over the program's windows; nothing in a headless run.
void ShowCursor(bool show);

} // namespace Quarn::platform
