// The mixer's cost per second of sound produced, with 8, 64 and 256 looping voices of one second of
// stereo sound each, beside a plain loop that sums the same buffers at the same volumes, in one run.
// Both produce 44100 frames in blocks of 1024, as the device asks for them.
#include "platform/sound/Mixer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{

using namespace Quarn::platform::sound;

constexpr std::uint32_t kBlock = 1024;

std::vector<std::shared_ptr<SoundBuffer>> Sounds(int count)
{
    std::vector<std::shared_ptr<SoundBuffer>> sounds;
    for (int s = 0; s < count; ++s)
    {
        auto sound = std::make_shared<SoundBuffer>();
        for (std::uint32_t f = 0; f < kMixRate; ++f)
        {
            const auto v = static_cast<float>(std::sin(0.01 * (s + 1) * f));
            sound->samples.insert(sound->samples.end(), {v, v});
        }
        sounds.push_back(sound);
    }
    return sounds;
}

void MixerSecond(benchmark::State& state)
{
    Mixer mixer;
    const auto sounds = Sounds(static_cast<int>(state.range(0)));
    for (const auto& sound : sounds)
        mixer.Play(sound, 0.5f, true);
    std::vector<float> out(std::size_t{kBlock} * kMixChannels);
    for (auto _ : state)
    {
        for (std::uint32_t frames = 0; frames < kMixRate; frames += kBlock)
            mixer.Mix(out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
    }
}

void PlainSumSecond(benchmark::State& state)
{
    const auto sounds = Sounds(static_cast<int>(state.range(0)));
    std::vector<std::uint32_t> positions(sounds.size(), 0);
    std::vector<float> out(std::size_t{kBlock} * kMixChannels);
    for (auto _ : state)
    {
        for (std::uint32_t frames = 0; frames < kMixRate; frames += kBlock)
        {
            std::fill(out.begin(), out.end(), 0.0f);
            for (std::size_t s = 0; s < sounds.size(); ++s)
            {
                const std::vector<float>& samples = sounds[s]->samples;
                for (std::uint32_t f = 0; f < kBlock; ++f)
                {
                    const std::size_t at = std::size_t{(positions[s] + f) % kMixRate} * kMixChannels;
                    out[f * 2] += samples[at] * 0.5f;
                    out[f * 2 + 1] += samples[at + 1] * 0.5f;
                }
                positions[s] = (positions[s] + kBlock) % kMixRate;
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
}

} // namespace

BENCHMARK(MixerSecond)->Arg(8)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlainSumSecond)->Arg(8)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
