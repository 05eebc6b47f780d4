#include "platform/sound/SoundBuffer.h"

#include <sndfile.h>

#include <filesystem>

namespace Quarn::platform::sound
{

void ToMixFormat(const std::vector<float>& interleaved, std::uint32_t channels, std::uint32_t rate,
                 SoundBuffer& buffer)
{
    buffer.samples.clear();
    if (channels == 0 || rate == 0)
        return;
    const std::size_t frames = interleaved.size() / channels;
    const auto sample = [&](std::size_t frame, std::uint32_t side)
    { return interleaved[frame * channels + (channels == 1 ? 0 : side)]; };
    if (rate == kMixRate)
    {
        buffer.samples.reserve(frames * kMixChannels);
        for (std::size_t frame = 0; frame < frames; ++frame)
            for (std::uint32_t side = 0; side < kMixChannels; ++side)
                buffer.samples.push_back(sample(frame, side));
        return;
    }
    const std::size_t outFrames = frames * kMixRate / rate;
    buffer.samples.reserve(outFrames * kMixChannels);
    const double step = static_cast<double>(rate) / kMixRate;
    for (std::size_t out = 0; out < outFrames; ++out)
    {
        const double at = static_cast<double>(out) * step;
        const auto frame = static_cast<std::size_t>(at);
        const auto next = std::min(frame + 1, frames - 1);
        const auto t = static_cast<float>(at - static_cast<double>(frame));
        for (std::uint32_t side = 0; side < kMixChannels; ++side)
            buffer.samples.push_back(sample(frame, side) * (1.0f - t) + sample(next, side) * t);
    }
}

SoundResult DecodeSoundFile(const std::string& path, SoundBuffer& buffer)
{
    if (!std::filesystem::is_regular_file(path))
        return SoundResult::FileNotFound;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return SoundResult::BadFormat;
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames) *
                                   static_cast<std::size_t>(info.channels));
    const sf_count_t read = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    if (read < 0 || info.channels <= 0 || info.samplerate <= 0)
        return SoundResult::BadFormat;
    interleaved.resize(static_cast<std::size_t>(read) * static_cast<std::size_t>(info.channels));
    ToMixFormat(interleaved, static_cast<std::uint32_t>(info.channels),
                static_cast<std::uint32_t>(info.samplerate), buffer);
    return SoundResult::Ok;
}

} // namespace Quarn::platform::sound
