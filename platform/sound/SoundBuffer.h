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

// What a sound file may bring: sample rates a real recording has, and at most 10 minutes once in the
// mixer's format (about 200 MB). Anything else is refused before it is decoded or resampled, so a bad
// file cannot make the decoder allocate without bound. ErrorString gives these numbers in its texts.
inline constexpr std::uint32_t kMinFileRate = 1000;
inline constexpr std::uint32_t kMaxFileRate = 384000;
inline constexpr std::uint64_t kMaxSoundFrames = std::uint64_t{600} * kMixRate;

// A decoded sound in the mixer's format, interleaved.
struct SoundBuffer
{
    std::vector<float> samples;
    std::uint32_t Frames() const { return static_cast<std::uint32_t>(samples.size() / kMixChannels); }
};

// Reads a WAV, OGG or FLAC file with libsndfile and brings it to the mixer's format: a mono file plays
// on both sides, further channels are dropped, other rates are resampled linearly. A path that names no
// regular file (or cannot name one, as a name too long) is FileNotFound; a rate outside kMinFileRate to
// kMaxFileRate is UnsupportedRate; a sound longer than kMaxSoundFrames in the mixer's format is TooLong.
SoundResult DecodeSoundFile(const std::string& path, SoundBuffer& buffer);

// The same for samples already in memory (frames x channels interleaved, at rate); the caller keeps the
// result within kMaxSoundFrames.
void ToMixFormat(const std::vector<float>& interleaved, std::uint32_t channels, std::uint32_t rate,
                 SoundBuffer& buffer);

} // namespace Quarn::platform::sound
