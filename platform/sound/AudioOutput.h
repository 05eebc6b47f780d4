#pragma once

#include "platform/sound/SoundResult.h"

#include <memory>
#include <string>

namespace Quarn::platform::sound
{

class Mixer;

// Where mixed sound goes: the machine's audio device through SDL (its dummy driver in a headless run,
// unless SDL_AUDIODRIVER names another, such as "disk", and on a machine without a sound device). The device
// pulls from the mixer on a thread of its own until the output is destroyed.
class AudioOutput
{
public:
    virtual ~AudioOutput() = default;
};

// Null, with the reason in error, when no device opens.
std::unique_ptr<AudioOutput> OpenSdlAudioOutput(Mixer& mixer, std::string& error);

} // namespace Quarn::platform::sound
