#include "platform/sound/EventSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

namespace Quarn::platform::sound
{
namespace
{

// A media folder with two short WAV files (mono, 44.1 kHz, constant values) and an event system on it,
// pulled by hand.
class SoundEventSystemTest : public testing::Test
{
protected:
    SoundEventSystemTest()
    {
        WriteWav("engine.wav", 0.5f, 100);
        WriteWav("theme.wav", 0.25f, 100);
        EXPECT_EQ(m_system.InitWithoutOutput(50), SoundResult::Ok);
        EXPECT_EQ(m_system.SetMediaPath(m_media.Path().string() + "/"), SoundResult::Ok);
    }

    void WriteWav(const std::string& name, float value, int frames)
    {
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        SNDFILE* file = sf_open((m_media / name).string().c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        const std::vector<float> samples(static_cast<std::size_t>(frames), value);
        sf_writef_float(file, samples.data(), frames);
        sf_close(file);
    }

    SoundResult Load(const std::string& text, EventProject*& project)
    {
        return m_system.Load(text.data(), text.size(), project);
    }

    // The left sample of the next mixed frame.
    float NextSample()
    {
        float frame[2] = {};
        m_system.GetMixer().Mix(frame, 1);
        return frame[0];
    }

    test::TempDir m_media;
    EventSystem m_system;
};

TEST_F(SoundEventSystemTest, EventsOfALoadedProjectPlayThroughTheMasterCategory)
{
    EventProject* project = nullptr;
    ASSERT_EQ(Load("QFEV 1\nevent Engine\tengine.wav\t0.5\t1\ncue Theme\ttheme.wav\t1\n", project),
              SoundResult::Ok);
    EventProject* first = nullptr;
    ASSERT_EQ(m_system.GetProjectByIndex(0, first), SoundResult::Ok);
    EXPECT_EQ(first, project);
    EventGroup* group = nullptr;
    EXPECT_EQ(project->GetGroup("other", group), SoundResult::EventNotFound);
    ASSERT_EQ(project->GetGroup("untitled", group), SoundResult::Ok);
    std::unique_ptr<Event> event;
    EXPECT_EQ(group->GetEvent("Horn", event), SoundResult::EventNotFound);
    ASSERT_EQ(group->GetEvent("Engine", event), SoundResult::Ok);

    EXPECT_FLOAT_EQ(NextSample(), 0.0f);
    ASSERT_EQ(event->Start(), SoundResult::Ok);
    EXPECT_FLOAT_EQ(NextSample(), 0.25f);
    EventCategory* master = nullptr;
    ASSERT_EQ(m_system.GetCategory("master", master), SoundResult::Ok);
    master->SetVolume(0.5f);
    EXPECT_FLOAT_EQ(NextSample(), 0.125f);
    master->SetMute(true);
    bool muted = false;
    master->GetMute(muted);
    EXPECT_TRUE(muted);
    EXPECT_FLOAT_EQ(NextSample(), 0.0f);
    master->SetMute(false);
    event->SetPaused(true);
    bool paused = false;
    event->GetPaused(paused);
    EXPECT_TRUE(paused);
    EXPECT_FLOAT_EQ(NextSample(), 0.0f);
    event->SetPaused(false);
    event->Stop(false);
    EXPECT_FLOAT_EQ(NextSample(), 0.0f);

    MusicSystem* music = nullptr;
    ASSERT_EQ(m_system.GetMusicSystem(music), SoundResult::Ok);
    std::vector<MusicCueEntry> cues;
    EXPECT_EQ(music->FindCues("Battle", cues), SoundResult::EventNotFound);
    ASSERT_EQ(music->FindCues("Them", cues), SoundResult::Ok);
    ASSERT_EQ(cues.size(), 1u);
    EXPECT_EQ(cues[0].name, "Theme");
    std::unique_ptr<MusicPrompt> prompt;
    ASSERT_EQ(music->PrepareCue(cues[0].id, prompt), SoundResult::Ok);
    prompt->Begin();
    bool active = false;
    prompt->IsActive(active);
    EXPECT_TRUE(active);
    EXPECT_FLOAT_EQ(NextSample(), 0.125f);
    music->Reset();
    prompt->IsActive(active);
    EXPECT_FALSE(active);
}

// Every request of an event gives an instance with a voice of its own: instances start, stop and pause
// alone, and one that goes takes only its own voice along.
TEST_F(SoundEventSystemTest, InstancesOfOneEventPlayApart)
{
    EventProject* project = nullptr;
    ASSERT_EQ(Load("QFEV 1\nevent Engine\tengine.wav\t0.5\t1\n", project), SoundResult::Ok);
    EventGroup* group = nullptr;
    ASSERT_EQ(project->GetGroup("untitled", group), SoundResult::Ok);
    std::unique_ptr<Event> first;
    std::unique_ptr<Event> second;
    ASSERT_EQ(group->GetEvent("Engine", first), SoundResult::Ok);
    ASSERT_EQ(group->GetEvent("Engine", second), SoundResult::Ok);
    first->Start();
    second->Start();
    second->Start();
    EXPECT_FLOAT_EQ(NextSample(), 0.5f);
    second->SetPaused(true);
    EXPECT_FLOAT_EQ(NextSample(), 0.25f);
    second->Stop(false);
    second->SetPaused(false);
    EXPECT_FLOAT_EQ(NextSample(), 0.25f);
    second->Start();
    second.reset();
    EXPECT_FLOAT_EQ(NextSample(), 0.25f);
    EXPECT_TRUE(first->IsPlaying());
    first.reset();
    EXPECT_EQ(m_system.GetMixer().PlayingCount(), 0u);
}

TEST_F(SoundEventSystemTest, ABadProjectOrMissingMediaLoadsNothing)
{
    const struct
    {
        std::string text;
        SoundResult result;
    } cases[] = {
        {"", SoundResult::BadFormat},
        {"QFEV 2\n", SoundResult::BadFormat},
        {"QFEV 1\nevent Engine\tengine.wav\t0.5\n", SoundResult::BadFormat},
        {"QFEV 1\nevent Engine\tengine.wav\tloud\t1\n", SoundResult::BadFormat},
        {"QFEV 1\nevent Engine\tengine.wav\t0.5\tyes\n", SoundResult::BadFormat},
        {"QFEV 1\nsound Engine\tengine.wav\t0.5\t1\n", SoundResult::BadFormat},
        {"QFEV 1\nevent Engine\tmissing.wav\t0.5\t1\n", SoundResult::FileNotFound},
        {"QFEV 1\nevent Engine\t" + std::string(300, 'a') + ".wav\t0.5\t1\n", SoundResult::FileNotFound},
        {"QFEV 1\nevent Engine\tengine.wav\tnan\t1\n", SoundResult::BadFormat},
        {"QFEV 1\ncue Theme\ttheme.wav\t-inf\n", SoundResult::BadFormat},
    };
    for (const auto& c : cases)
    {
        EventProject* project = nullptr;
        EXPECT_EQ(Load(c.text, project), c.result) << c.text;
    }
    EventProject* project = nullptr;
    EXPECT_EQ(m_system.GetProjectByIndex(0, project), SoundResult::InvalidParameter);
}

} // namespace
} // namespace Quarn::platform::sound
