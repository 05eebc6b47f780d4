#include "platform/sound/SoundBuffer.h"

#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <memory>

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
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return SoundResult::FileNotFound;
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open(path.c_str(), SFM_READ, &info), &sf_close);
    if (!file || info.channels <= 0)
        return SoundResult::BadFormat;
    if (info.samplerate < static_cast<int>(kMinFileRate) || info.samplerate > static_cast<int>(kMaxFileRate))
        return SoundResult::UnsupportedRate;
    const auto channels = static_cast<std::uint32_t>(info.channels);
    const auto rate = static_cast<std::uint32_t>(info.samplerate);
    // The header's frame count is not trusted: the file is read in blocks until it ends, and refused as
    // soon as it holds more frames than become kMaxSoundFrames. Only the channels the mixer plays are kept.
    const std::uint64_t maxFrames = kMaxSoundFrames * rate / kMixRate;
    const std::uint32_t kept = std::min(channels, kMixChannels);
    constexpr std::size_t kBlockSamples = 8192;
    const std::size_t blockFrames = std::max<std::size_t>(1, kBlockSamples / channels);
    std::vector<float> block(blockFrames * channels);
    std::vector<float> interleaved;
    std::uint64_t frames = 0;
    for (;;)
    {
        const sf_count_t read =
            sf_readf_float(file.get(), block.data(), static_cast<sf_count_t>(blockFrames));
        if (read <= 0)
            break;
        frames += static_cast<std::uint64_t>(read);
        if (frames > maxFrames)
            return SoundResult::TooLong;
        for (std::size_t frame = 0; frame < static_cast<std::size_t>(read); ++frame)
            interleaved.insert(interleaved.end(),
                               block.begin() + static_cast<std::ptrdiff_t>(frame * channels),
                               block.begin() + static_cast<std::ptrdiff_t>(frame * channels + kept));
    }
    ToMixFormat(interleaved, kept, rate, buffer);
    return SoundResult::Ok;
}

} // namespace Quarn::platform::sound
