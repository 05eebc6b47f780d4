#include "platform/sound/SoundResult.h"

namespace Quarn::platform::sound
{

const char* ErrorString(SoundResult result)
{
    switch (result)
    {
    case SoundResult::Ok:
        return "No errors.";
    case SoundResult::FileNotFound:
        return "File not found.";
    case SoundResult::BadFormat:
        return "Unsupported file or audio format.";
    case SoundResult::InvalidParameter:
        return "An invalid parameter was passed to this function.";
    case SoundResult::InvalidHandle:
        return "An invalid object handle was used.";
    case SoundResult::EventNotFound:
        return "The requested event, event group, event category or event property could not be found.";
    case SoundResult::OutputFailed:
        return "The sound output could not be started.";
    case SoundResult::NotInitialized:
        return "The sound system has not been initialized.";
    case SoundResult::UnsupportedRate:
        return "The sound file's sample rate is outside 1000 to 384000 Hz.";
    case SoundResult::TooLong:
        return "The sound file plays longer than 10 minutes.";
    }
    return "Unknown error.";
}

} // namespace Quarn::platform::sound
