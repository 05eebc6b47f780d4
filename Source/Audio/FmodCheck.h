#pragma once

#include "platform/sound/SoundResult.h"

#include <string>

namespace Quarn
{

// What follows the report of a failed sound call.
enum class FmodFailure : bool
{
    // Inside a Lua call the game restarts.
    MayRestart,
    // The report only: for callers that must not throw, such as destructors.
    ReportOnly,
};

// The sound error convention: a failed result is an assertion "fr!=FMOD_OK" whose message is
// "FMOD ERROR:\n", the step, then the result's text and code; inside a Lua call the game restarts
// unless failure says otherwise. True when the result failed.
bool FmodFailed(platform::sound::SoundResult result, const char* file, int line, const std::string& step,
                FmodFailure failure = FmodFailure::MayRestart);

} // namespace Quarn

#define QUARN_FMOD_FAILED(result, ...) ::Quarn::FmodFailed(result, __FILE__, __LINE__, __VA_ARGS__)
