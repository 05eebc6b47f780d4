#pragma once

#include "platform/sound/SoundBuffer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace Quarn::platform::sound
{

// Sums the playing sounds into the output, each at its own volume, all at the master volume (silent
// while the master is muted). The output device pulls from another thread: every call takes the
// mixer's lock.
class Mixer
{
public:
    Mixer();
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    using VoiceId = std::uint32_t;
    static constexpr VoiceId kNoVoice = 0;
    static constexpr std::size_t kSpectrumSize = 512;

    // Starts a sound from its beginning; a looping one starts over at its end, another ends there.
    VoiceId Play(std::shared_ptr<const SoundBuffer> sound, float volume, bool loop);
    void Stop(VoiceId voice);
    // Stops every voice that plays sound.
    void StopSound(const SoundBuffer& sound);
    void SetPaused(VoiceId voice, bool paused);
    // False for a voice that ended or never was.
    bool IsPlaying(VoiceId voice) const;
    bool IsPaused(VoiceId voice) const;
    std::size_t PlayingCount() const;

    void SetMasterVolume(float volume);
    float GetMasterVolume() const;
    void SetMasterMute(bool mute);
    bool GetMasterMute() const;

    // Writes the next frames of the output, interleaved in the mixer's format.
    void Mix(float* output, std::uint32_t frames);

    // The magnitudes of the last 1024 output frames (left and right averaged) in 512 bands from 0 to
    // half the mix rate, through a Blackman-Harris window; a full-scale sine peaks at 1.
    void GetSpectrum(float* values, std::size_t count) const;

private:
    struct Voice
    {
        VoiceId id;
        std::shared_ptr<const SoundBuffer> sound;
        std::uint32_t frame;
        float volume;
        bool loop;
        bool paused;
    };
    static constexpr std::size_t kHistory = 2 * kSpectrumSize;

    Voice* Find(VoiceId voice);
    const Voice* Find(VoiceId voice) const;

    mutable std::mutex m_lock;
    std::vector<Voice> m_voices;
    VoiceId m_nextId = 1;
    float m_masterVolume = 1.0f;
    bool m_masterMute = false;
    std::array<float, kHistory> m_history{};
    // The FFT plan of the spectrum (kissfft's kiss_fftr_cfg), made once.
    void* m_fft;
    std::size_t m_historyAt = 0;
};

} // namespace Quarn::platform::sound
