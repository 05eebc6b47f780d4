#include "platform/sound/AudioOutput.h"
#include "platform/sound/Mixer.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <memory>
#include <vector>

namespace Quarn::platform::sound
{
namespace
{

// A stereo sound whose frame f holds (f + 1) / 100 on the left and its negation on the right.
std::shared_ptr<SoundBuffer> Ramp(std::uint32_t frames)
{
    auto sound = std::make_shared<SoundBuffer>();
    for (std::uint32_t f = 0; f < frames; ++f)
        sound->samples.insert(sound->samples.end(),
                              {static_cast<float>(f + 1) / 100.0f, -static_cast<float>(f + 1) / 100.0f});
    return sound;
}

std::vector<float> MixFrames(Mixer& mixer, std::uint32_t frames)
{
    std::vector<float> out(std::size_t{frames} * kMixChannels);
    mixer.Mix(out.data(), frames);
    return out;
}

TEST(SoundMixerTest, VoicesAreSummedAtTheirVolumeAndTheMastersUntilTheyEndOrStop)
{
    Mixer mixer;
    const Mixer::VoiceId once = mixer.Play(Ramp(3), 1.0f, false);
    const Mixer::VoiceId quiet = mixer.Play(Ramp(8), 0.5f, false);
    std::vector<float> out = MixFrames(mixer, 2);
    EXPECT_FLOAT_EQ(out[0], 0.01f + 0.005f);
    EXPECT_FLOAT_EQ(out[1], -0.015f);
    EXPECT_FLOAT_EQ(out[2], 0.02f + 0.01f);
    out = MixFrames(mixer, 2);
    EXPECT_FLOAT_EQ(out[0], 0.03f + 0.015f);
    EXPECT_FLOAT_EQ(out[2], 0.02f) << "the short sound has ended";
    EXPECT_FALSE(mixer.IsPlaying(once));

    mixer.SetMasterVolume(0.5f);
    out = MixFrames(mixer, 1);
    EXPECT_FLOAT_EQ(out[0], 0.0125f);
    mixer.SetMasterMute(true);
    out = MixFrames(mixer, 1);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_TRUE(mixer.IsPlaying(quiet)) << "muted, the sound goes on";
    mixer.SetMasterMute(false);
    mixer.SetPaused(quiet, true);
    out = MixFrames(mixer, 1);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    mixer.SetPaused(quiet, false);
    out = MixFrames(mixer, 1);
    EXPECT_FLOAT_EQ(out[0], 0.07f * 0.5f * 0.5f) << "muted frames went by, paused ones did not";
    mixer.Stop(quiet);
    EXPECT_EQ(mixer.PlayingCount(), 0u);
    out = MixFrames(mixer, 1);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
}

TEST(SoundMixerTest, ALoopingVoiceStartsOverAtItsEnd)
{
    Mixer mixer;
    const Mixer::VoiceId loop = mixer.Play(Ramp(3), 1.0f, true);
    const std::vector<float> out = MixFrames(mixer, 7);
    const float expected[] = {0.01f, 0.02f, 0.03f, 0.01f, 0.02f, 0.03f, 0.01f};
    for (std::size_t f = 0; f < 7; ++f)
        EXPECT_FLOAT_EQ(out[f * 2], expected[f]) << f;
    EXPECT_TRUE(mixer.IsPlaying(loop));
}

// A full-scale sine at the centre of band 23 (about 990 Hz) peaks there at 1.
TEST(SoundMixerTest, TheSpectrumOfASinePeaksInItsBand)
{
    Mixer mixer;
    auto sine = std::make_shared<SoundBuffer>();
    const double frequency = 23.0 * kMixRate / 1024.0;
    for (std::uint32_t f = 0; f < 4096; ++f)
    {
        const auto s = static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * frequency * f / kMixRate));
        sine->samples.insert(sine->samples.end(), {s, s});
    }
    mixer.Play(sine, 1.0f, true);
    MixFrames(mixer, 2048);
    std::vector<float> spectrum(Mixer::kSpectrumSize);
    mixer.GetSpectrum(spectrum.data(), spectrum.size());
    const auto peak = std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin();
    EXPECT_EQ(peak, 23);
    EXPECT_NEAR(spectrum[23], 1.0f, 0.02f);
    EXPECT_LT(spectrum[40], 0.01f);
}

// A mono file at another rate plays on both sides, resampled; a missing or unreadable file says so.
TEST(SoundMixerTest, DecodingBringsFilesToTheMixFormat)
{
    test::TempDir dir;
    const std::string path = (dir / "tone.wav").string();
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    const float samples[] = {0.0f, 0.5f, -0.5f, 0.25f};
    sf_writef_float(file, samples, 4);
    sf_close(file);

    SoundBuffer buffer;
    ASSERT_EQ(DecodeSoundFile(path, buffer), SoundResult::Ok);
    ASSERT_EQ(buffer.Frames(), 8u);
    EXPECT_FLOAT_EQ(buffer.samples[2 * 2], 0.5f);
    EXPECT_FLOAT_EQ(buffer.samples[2 * 2 + 1], 0.5f);
    EXPECT_FLOAT_EQ(buffer.samples[3 * 2], 0.0f) << "halfway from 0.5 to -0.5";

    EXPECT_EQ(DecodeSoundFile((dir / "missing.wav").string(), buffer), SoundResult::FileNotFound);
    dir.Write("noise.wav", "not a sound file");
    EXPECT_EQ(DecodeSoundFile((dir / "noise.wav").string(), buffer), SoundResult::BadFormat);
    EXPECT_STREQ(ErrorString(SoundResult::FileNotFound), "File not found.");
}

// What the decoder would have to make of a file is bounded: rates no recording has and sounds longer than
// ten minutes are refused before anything is resampled (a 1 Hz file of 12,000 frames would become 529
// million), whatever the header says.
TEST(SoundMixerTest, DecodingRefusesAbsurdRatesAndLengths)
{
    test::TempDir dir;
    const struct
    {
        int rate;
        int frames;
        SoundResult result;
        std::uint32_t mixFrames;
    } cases[] = {
        {1, 12000, SoundResult::UnsupportedRate, 0},
        {999, 10, SoundResult::UnsupportedRate, 0},
        {1000, 10, SoundResult::Ok, 441},
        {384000, 384, SoundResult::Ok, 44},
        {384001, 10, SoundResult::UnsupportedRate, 0},
        {1000, 600001, SoundResult::TooLong, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.rate);
        const std::string path = (dir / ("sound" + std::to_string(c.rate) + ".wav")).string();
        SF_INFO info{};
        info.samplerate = c.rate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
        const std::vector<float> samples(static_cast<std::size_t>(c.frames), 0.25f);
        sf_writef_float(file, samples.data(), c.frames);
        sf_close(file);
        SoundBuffer buffer;
        EXPECT_EQ(DecodeSoundFile(path, buffer), c.result);
        if (c.result == SoundResult::Ok)
        {
            EXPECT_EQ(buffer.Frames(), c.mixFrames);
        }
    }
    EXPECT_STREQ(ErrorString(SoundResult::TooLong), "The sound file plays longer than 10 minutes.");
}

// A name longer than the system takes is a file that is not there, not an exception.
TEST(SoundMixerTest, ANameTooLongForTheSystemIsNotFound)
{
    SoundBuffer buffer;
    EXPECT_EQ(DecodeSoundFile(std::string(300, 'a') + ".wav", buffer), SoundResult::FileNotFound);
    EXPECT_EQ(DecodeSoundFile("/tmp/" + std::string(5000, 'a'), buffer), SoundResult::FileNotFound);
}

// The device pulls from the mixer on its own thread (SDL's dummy driver here): a sound started plays
// to its end without anyone mixing by hand.
TEST(SoundMixerTest, TheSdlOutputPullsFromTheMixer)
{
    Mixer mixer;
    std::string error;
    auto output = OpenSdlAudioOutput(mixer, error);
    ASSERT_NE(output, nullptr) << error;
    const Mixer::VoiceId voice = mixer.Play(Ramp(2048), 1.0f, false);
    for (int wait = 0; wait < 500 && mixer.IsPlaying(voice); ++wait)
        SDL_Delay(10);
    EXPECT_FALSE(mixer.IsPlaying(voice));
}

} // namespace
} // namespace Quarn::platform::sound
