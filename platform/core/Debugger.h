#pragma once

namespace Quarn::platform
{

// True when a debugger traces this process.
bool IsDebuggerAttached();
// Traps into the debugger when one is attached; does nothing otherwise.
void BreakIfDebuggerAttached();

} // namespace Quarn::platform
