#pragma once

#include <exception>

namespace Quarn
{

// Thrown to abandon the current frame; the frame loop answers it with a warm reset.
class RestartGameException : public std::exception
{
};

// Throws RestartGameException when the failure happened inside a Lua call.
void ThrowIfRestart(bool inLua);

} // namespace Quarn
