#include "Audio/Audio.h"
#include "../Script/LuaTestState.h"
#include "Audio/MusicPrompt.h"
#include "Audio/SoundEmitter.h"
#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Gameplay.h"
#include "GameObjects/Transform.h"
#include "Graphics/Graphics.h"
#include "Physics/Physics.h"
#include "Resources/ResourceManager.h"
#include "Script/LuaPolymorphicBase.h"
#include "platform/sound/EventSystem.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <optional>
#include <vector>

namespace Quarn::test
{
namespace
{

// A game with the Audio system whose working resources hold a built project "Demo" (an event "Engine"
// and a music cue "Theme") and its media.
class AudioTest : public testing::Test
{
protected:
    void Start(const std::string& settings)
    {
        m_folder.WriteSource("Settings/Audio.xml",
                             "<?xml version=\"1.0\" ?>\n<root><Audio>" + settings + "</Audio></root>\n");
        m_folder.WriteWorking("Audio/Demo.fev",
                              "QFEV 1\nevent Engine\tengine.wav\t1\t1\ncue Theme\tengine.wav\t1\n");
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        SNDFILE* file =
            sf_open((m_folder.Working() / "Audio" / "engine.wav").string().c_str(), SFM_WRITE, &info);
        const std::vector<float> samples(4410, 0.5f);
        sf_writef_float(file, samples.data(), 4410);
        sf_close(file);
        Physics::RegisterComponentTypes();
        Gameplay::RegisterComponentTypes();
        Audio::RegisterComponentTypes();
        Graphics::RegisterComponentTypes();
        m_engine.emplace();
        m_engine->AddSystem("Audio", &m_audio.emplace());
        m_audio->Init();
        m_audio->InitResources(m_engine->GetResourceManager());
    }

    std::size_t Playing() { return Audio::GetEventSystem()->GetMixer().PlayingCount(); }

    RunFolder m_folder;
    CapturedErrors m_errors;
    OutputHandler m_output{false};
    std::optional<SystemManager> m_engine;
    std::optional<Audio> m_audio;
};

// An emitter plays its event on its object's "EmitSound" and stops on "StopSound"; a script reaches
// volume, mute, music prompts and the envelope through "audio".
TEST_F(AudioTest, EmittersPlayTheProjectsEventsAndScriptsDriveTheRest)
{
    Start("<ProjectName>Demo</ProjectName><Volume>0.5</Volume>");
    ASSERT_NE(m_audio->GetGroup(), nullptr);
    EXPECT_FLOAT_EQ(m_audio->GetVolume(), 0.5f);
    GameObject* ship = m_engine->GetGameObjectManager().CreateIntern(new GameObject());
    ship->SetComponent(Transform::TypeId(), new Transform(), Transform::kTypeName);
    auto* emitter = new SoundEmitter();
    emitter->m_eventName = "Engine";
    ship->SetComponent(SoundEmitter::TypeId(), emitter, SoundEmitter::kTypeName);
    MessageManager& messages = m_engine->GetMessageManager();
    messages.SendGOMessage(ship->GetHandle(), "EmitSound");
    EXPECT_EQ(Playing(), 1u);
    messages.SendGOMessage(ship->GetHandle(), "StopSound");
    EXPECT_EQ(Playing(), 0u);

    LuaTestState lua;
    LuaPublishGlobal("audio", &*m_audio);
    EXPECT_EQ(lua.Run(R"(
        audio:SetMute(true)
        assert(audio:GetMute())
        audio:SetMute(false)
        local prompt = audio:GetMusicPrompt("Them")
        assert(not prompt:IsActive())
        prompt:Toggle()
        assert(prompt:IsActive())
        assert(audio:GetEnvelope() == audio:GetEnvelope())
        prompt:Toggle()
        assert(not prompt:IsActive())
    )"),
              "");
    EXPECT_EQ(m_errors.Count(), 0u);

    // A name no cue has is reported in the sound error form.
    EXPECT_EQ(m_audio->GetMusicPrompt("Battle"), nullptr);
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("FMOD ERROR:\nNo such Music Cue (Prompt)\n"));
}

TEST_F(AudioTest, WithoutAProjectTheGameRunsSilent)
{
    Start("");
    EXPECT_EQ(m_audio->GetGroup(), nullptr);
    EXPECT_EQ(m_errors.Count(), 0u);
    GameObject* ship = m_engine->GetGameObjectManager().CreateIntern(new GameObject());
    auto* emitter = new SoundEmitter();
    emitter->m_eventName = "Engine";
    ship->SetComponent(SoundEmitter::TypeId(), emitter, SoundEmitter::kTypeName);
    m_engine->GetMessageManager().SendGOMessage(ship->GetHandle(), "EmitSound");
    EXPECT_EQ(Playing(), 0u);
    m_audio->Update(0.016f);
    EXPECT_EQ(m_audio->GetEnvelope(), 0.0f);
    EXPECT_EQ(m_errors.Count(), 0u);
}

// A named project that is not there is reported once, and the game goes on silent.
TEST_F(AudioTest, AMissingProjectIsReportedOnce)
{
    Start("<ProjectName>Nowhere</ProjectName>");
    EXPECT_EQ(m_audio->GetGroup(), nullptr);
    ASSERT_EQ(m_errors.Count(), 1u) << m_errors.Texts()[1];
    EXPECT_TRUE(m_errors.Any("No resource with name")) << m_errors.Texts()[0];
}

// A project changed on disk and loaded again replaces the loaded one: what played stops, events and
// cues come from the new project, and holders of the old ones neither crash nor play old media.
TEST_F(AudioTest, AReloadedProjectReplacesTheLoadedOne)
{
    Start("<ProjectName>Demo</ProjectName>");
    platform::sound::EventGroup* group = m_audio->GetGroup();
    ASSERT_NE(group, nullptr);
    GameObject* ship = m_engine->GetGameObjectManager().CreateIntern(new GameObject());
    auto* emitter = new SoundEmitter();
    emitter->m_eventName = "Engine";
    ship->SetComponent(SoundEmitter::TypeId(), emitter, SoundEmitter::kTypeName);
    emitter->Emit();
    const std::unique_ptr<MusicPrompt> theme = m_audio->GetMusicPrompt("Theme");
    ASSERT_NE(theme, nullptr);
    theme->Toggle();
    ASSERT_EQ(Playing(), 2u);

    m_folder.WriteWorking("Audio/Demo.fev", "QFEV 1\nevent Engine\tengine.wav\t0.25\t0\n"
                                            "event Knock\tengine.wav\t1\t0\ncue Battle\tengine.wav\t1\n");
    m_engine->GetResourceManager().RefreshResources();
    EXPECT_EQ(Playing(), 0u);
    EXPECT_EQ(m_audio->GetGroup(), group);
    platform::sound::Event* knock = nullptr;
    EXPECT_EQ(group->GetEvent("Knock", knock), platform::sound::SoundResult::Ok);
    emitter->Emit();
    emitter->Pause();
    EXPECT_EQ(Playing(), 1u);
    emitter->Stop();
    EXPECT_EQ(m_errors.Count(), 0u);

    // The old cue's prompt is silent and says so; the new cue is there, the old one is not.
    theme->Toggle();
    EXPECT_FALSE(theme->IsActive());
    EXPECT_EQ(m_errors.Count(), 1u);
    EXPECT_NE(m_audio->GetMusicPrompt("Battle"), nullptr);
    EXPECT_EQ(m_audio->GetMusicPrompt("Theme"), nullptr);

    // A broken project is reported and the loaded one stays.
    m_folder.WriteWorking("Audio/Demo.fev", "QFEV 1\nevent Knock\n");
    m_engine->GetResourceManager().RefreshResources();
    EXPECT_TRUE(m_errors.Any("Failed to load project 'Demo.fev'"));
    emitter->Emit();
    EXPECT_EQ(Playing(), 1u);
}

// A project whose source does not build is reported, and the game runs on without sound.
TEST_F(AudioTest, AProjectThatDoesNotBuildLeavesTheGameSilent)
{
    m_folder.WriteSource("Audio/Broken.fdp", "<project><event name=\"Engine\" file=\"engine.wav\"");
    std::filesystem::create_symlink(std::filesystem::path(QUARN_BINARY_DIR) / "run" / "fmod_designercl.exe",
                                    m_folder.Working().parent_path() / "fmod_designercl.exe");
    Start("<ProjectName>Broken</ProjectName>");
    EXPECT_EQ(m_audio->GetGroup(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(m_folder.Working() / "Audio" / "Broken.fev"));
    EXPECT_GE(m_errors.Count(), 1u);
    const std::size_t reports = m_errors.Count();
    GameObject* ship = m_engine->GetGameObjectManager().CreateIntern(new GameObject());
    auto* emitter = new SoundEmitter();
    emitter->m_eventName = "Engine";
    ship->SetComponent(SoundEmitter::TypeId(), emitter, SoundEmitter::kTypeName);
    emitter->Emit();
    m_audio->Update(0.016f);
    EXPECT_EQ(Playing(), 0u);
    EXPECT_EQ(m_errors.Count(), reports);
}

} // namespace
} // namespace Quarn::test
