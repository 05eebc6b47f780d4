#pragma once

#include "platform/sound/SoundResult.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Quarn::platform::sound
{

// The mixer's format: 44100 frames a second, two channels (left, right), float samples from -1 to 1.
inline constexpr std::uint32_t kMixRate = 44100;
inline constexpr std::uint32_t kMixChannels = 2;

// A decoded sound in the mixer's format, interleaved.
struct SoundBuffer
{
    std::vector<float> samples;
    std::uint32_t Frames() const { return static_cast<std::uint32_t>(samples.size() / kMixChannels); }
};

// Reads a WAV, OGG or FLAC file with libsndfile and brings it to the mixer's format: a mono file plays
// on both sides, further channels are dropped, other rates are resampled linearly.
SoundResult DecodeSoundFile(const std::string& path, SoundBuffer& buffer);

// The same for samples already in memory (frames x channels interleaved, at rate).
void ToMixFormat(const std::vector<float>& interleaved, std::uint32_t channels, std::uint32_t rate,
                 SoundBuffer& buffer);

} // namespace Quarn::platform::sound
