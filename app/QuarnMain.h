#pragma once

namespace Quarn
{

// The whole life of the program: builds the services and systems, runs the frame loop, tears
// everything down in reverse. logToFile writes RunLog.txt; a non-zero frameLimit quits after that
// many frames. Returns 0, or 1 when an exception ended the run.
int Main(bool logToFile, unsigned frameLimit = 0);

} // namespace Quarn
