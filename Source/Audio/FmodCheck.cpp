#include "Audio/FmodCheck.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"

namespace Quarn
{

bool FmodFailed(platform::sound::SoundResult result, const char* file, int line, const std::string& step,
                FmodFailure failure)
{
    if (result == platform::sound::SoundResult::Ok)
        return false;
    OutputHandler& output = OutputHandler::Get();
    const bool inLua = output.InLua();
    output.AssertFailed("fr!=FMOD_OK", file, inLua, line, "FMOD ERROR:\n%s\n%s (%d)", step.c_str(),
                        platform::sound::ErrorString(result), static_cast<int>(result));
    ThrowIfRestart(inLua && failure == FmodFailure::MayRestart);
    return true;
}

} // namespace Quarn
