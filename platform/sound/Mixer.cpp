#include "platform/sound/Mixer.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>

namespace Quarn::platform::sound
{

Mixer::Mixer() : m_fft(kiss_fftr_alloc(static_cast<int>(kHistory), 0, nullptr, nullptr)) {}

Mixer::~Mixer()
{
    kiss_fftr_free(m_fft);
}

Mixer::VoiceId Mixer::Play(std::shared_ptr<const SoundBuffer> sound, float volume, bool loop)
{
    if (!sound)
        return kNoVoice;
    const std::lock_guard guard(m_lock);
    const VoiceId id = m_nextId++;
    m_voices.push_back({id, std::move(sound), 0, volume, loop, false});
    return id;
}

Mixer::Voice* Mixer::Find(VoiceId voice)
{
    const auto found =
        std::find_if(m_voices.begin(), m_voices.end(), [voice](const Voice& v) { return v.id == voice; });
    return found == m_voices.end() ? nullptr : &*found;
}

const Mixer::Voice* Mixer::Find(VoiceId voice) const
{
    return const_cast<Mixer*>(this)->Find(voice);
}

void Mixer::Stop(VoiceId voice)
{
    const std::lock_guard guard(m_lock);
    std::erase_if(m_voices, [voice](const Voice& v) { return v.id == voice; });
}

void Mixer::StopSound(const SoundBuffer& sound)
{
    const std::lock_guard guard(m_lock);
    std::erase_if(m_voices, [&sound](const Voice& v) { return v.sound.get() == &sound; });
}

void Mixer::SetPaused(VoiceId voice, bool paused)
{
    const std::lock_guard guard(m_lock);
    if (Voice* found = Find(voice))
        found->paused = paused;
}

bool Mixer::IsPlaying(VoiceId voice) const
{
    const std::lock_guard guard(m_lock);
    return Find(voice) != nullptr;
}

bool Mixer::IsPaused(VoiceId voice) const
{
    const std::lock_guard guard(m_lock);
    const Voice* found = Find(voice);
    return found && found->paused;
}

std::size_t Mixer::PlayingCount() const
{
    const std::lock_guard guard(m_lock);
    return m_voices.size();
}

void Mixer::SetMasterVolume(float volume)
{
    const std::lock_guard guard(m_lock);
    m_masterVolume = volume;
}

float Mixer::GetMasterVolume() const
{
    const std::lock_guard guard(m_lock);
    return m_masterVolume;
}

void Mixer::SetMasterMute(bool mute)
{
    const std::lock_guard guard(m_lock);
    m_masterMute = mute;
}

bool Mixer::GetMasterMute() const
{
    const std::lock_guard guard(m_lock);
    return m_masterMute;
}

void Mixer::Mix(float* output, std::uint32_t frames)
{
    const std::lock_guard guard(m_lock);
    std::fill_n(output, std::size_t{frames} * kMixChannels, 0.0f);
    const float master = m_masterMute ? 0.0f : m_masterVolume;
    for (Voice& voice : m_voices)
    {
        if (voice.paused)
            continue;
        const std::vector<float>& samples = voice.sound->samples;
        const std::uint32_t length = voice.sound->Frames();
        const float gain = voice.volume * master;
        std::uint32_t written = 0;
        while (written < frames && length > 0)
        {
            const std::uint32_t run = std::min(frames - written, length - voice.frame);
            const float* from = &samples[std::size_t{voice.frame} * kMixChannels];
            float* to = output + std::size_t{written} * kMixChannels;
            for (std::size_t s = 0; s < std::size_t{run} * kMixChannels; ++s)
                to[s] += from[s] * gain;
            written += run;
            voice.frame += run;
            if (voice.frame < length)
                continue;
            if (!voice.loop)
                break;
            voice.frame = 0;
        }
    }
    // A sound that has played to its end is done.
    std::erase_if(m_voices, [](const Voice& v) { return !v.loop && v.frame >= v.sound->Frames(); });
    for (std::uint32_t frame = 0; frame < frames; ++frame)
    {
        m_history[m_historyAt] = 0.5f * (output[frame * kMixChannels] + output[frame * kMixChannels + 1]);
        m_historyAt = (m_historyAt + 1) % kHistory;
    }
}

void Mixer::GetSpectrum(float* values, std::size_t count) const
{
    std::array<float, kHistory> windowed;
    float windowSum = 0.0f;
    {
        const std::lock_guard guard(m_lock);
        for (std::size_t n = 0; n < kHistory; ++n)
        {
            // Blackman-Harris, four terms.
            const double x = 2.0 * 3.14159265358979323846 * static_cast<double>(n) / (kHistory - 1);
            const auto w = static_cast<float>(0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) -
                                              0.01168 * std::cos(3 * x));
            windowed[n] = m_history[(m_historyAt + n) % kHistory] * w;
            windowSum += w;
        }
    }
    std::array<kiss_fft_cpx, kHistory / 2 + 1> bins;
    kiss_fftr(static_cast<kiss_fftr_cfg>(m_fft), windowed.data(), bins.data());
    for (std::size_t k = 0; k < count; ++k)
    {
        const kiss_fft_cpx& bin = bins[std::min(k, kSpectrumSize)];
        values[k] = k < kSpectrumSize ? 2.0f * std::sqrt(bin.r * bin.r + bin.i * bin.i) / windowSum : 0.0f;
    }
}

} // namespace Quarn::platform::sound
