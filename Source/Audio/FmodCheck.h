#pragma once

#include "platform/sound/SoundResult.h"

#include <string>

namespace Quarn
{

// The sound error convention: a failed result is an assertion "fr!=FMOD_OK" whose message is
// "FMOD ERROR:\n", the step, then the result's text and code; inside a Lua call the game restarts.
// True when the result failed.
bool FmodFailed(platform::sound::SoundResult result, const char* file, int line, const std::string& step);

} // namespace Quarn

#define QUARN_FMOD_FAILED(result, step) ::Quarn::FmodFailed(result, __FILE__, __LINE__, step)
