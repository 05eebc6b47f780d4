#include "platform/core/Headless.h"
#include "platform/sound/AudioOutput.h"
#include "platform/sound/Mixer.h"

#include <SDL.h>

namespace Quarn::platform::sound
{

namespace
{

class SdlAudioOutput final : public AudioOutput
{
public:
    explicit SdlAudioOutput(Mixer& mixer) : m_mixer(mixer) {}

    ~SdlAudioOutput() override { Close(); }

    // A machine without a sound device plays into SDL's dummy driver: the game runs silent.
    bool Open(std::string& error)
    {
        if (IsHeadless())
            SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
        if (OpenDevice(error))
            return true;
        Close();
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        return OpenDevice(error);
    }

private:
    bool OpenDevice(std::string& error)
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        {
            error = SDL_GetError();
            return false;
        }
        m_started = true;
        SDL_AudioSpec wanted{};
        wanted.freq = static_cast<int>(kMixRate);
        wanted.format = AUDIO_F32SYS;
        wanted.channels = static_cast<Uint8>(kMixChannels);
        wanted.samples = 1024;
        wanted.callback = &SdlAudioOutput::Fill;
        wanted.userdata = this;
        SDL_AudioSpec obtained{};
        m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (m_device == 0)
        {
            error = SDL_GetError();
            return false;
        }
        SDL_PauseAudioDevice(m_device, 0);
        return true;
    }

    void Close()
    {
        if (m_device != 0)
            SDL_CloseAudioDevice(m_device);
        if (m_started)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_device = 0;
        m_started = false;
    }

    static void Fill(void* self, Uint8* stream, int bytes)
    {
        auto* output = static_cast<SdlAudioOutput*>(self);
        const auto frames =
            static_cast<std::uint32_t>(bytes / static_cast<int>(sizeof(float) * kMixChannels));
        output->m_mixer.Mix(reinterpret_cast<float*>(stream), frames);
    }

    Mixer& m_mixer;
    SDL_AudioDeviceID m_device = 0;
    bool m_started = false;
};

} // namespace

std::unique_ptr<AudioOutput> OpenSdlAudioOutput(Mixer& mixer, std::string& error)
{
    auto output = std::make_unique<SdlAudioOutput>(mixer);
    if (!output->Open(error))
        return nullptr;
    return output;
}

} // namespace Quarn::platform::sound
