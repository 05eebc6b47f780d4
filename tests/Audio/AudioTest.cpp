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
#include "Script/LuaBoundary.h"
#include "Script/LuaPolymorphicBase.h"
#include "platform/sound/EventSystem.h"
#include "support/CapturedErrors.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <functional>
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

    // Ends the game started last, and forgets what its end reported.
    void EndGame()
    {
        m_audio.reset();
        m_engine.reset();
        m_errors.Clear();
    }

    std::size_t Playing() { return Audio::GetEventSystem()->GetMixer().PlayingCount(); }

    // The left sample of the next frame, mixed by hand. The device's thread mixes too, which changes
    // nothing here: the fixture's media is one constant value.
    float NextSample()
    {
        float frame[2] = {};
        Audio::GetEventSystem()->GetMixer().Mix(frame, 1);
        return frame[0];
    }

    // A live object with an emitter of the event, published to the current Lua state as name.
    GameObject* Ship(const std::string& event, const char* name)
    {
        GameObject* ship = m_engine->GetGameObjectManager().CreateIntern(new GameObject());
        auto* emitter = new SoundEmitter();
        emitter->m_eventName = event;
        ship->SetComponent(SoundEmitter::TypeId(), emitter, SoundEmitter::kTypeName);
        ship->PushLua(CurrentLuaState());
        lua_setglobal(CurrentLuaState(), name);
        return ship;
    }

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
    EXPECT_TRUE(m_errors.Any("Could not find FMOD project file: 'Nowhere.fev'")) << m_errors.Texts()[0];
}

// Two ships hum the same looping event (0.5 each at full volume): whatever a script does to the second
// ship's emitter, the first ship's sound plays on, unpaused.
TEST_F(AudioTest, EachEmitterPlaysItsOwnInstanceOfItsEvent)
{
    Start("<ProjectName>Demo</ProjectName>");
    LuaTestState lua;
    const struct
    {
        const char* script;
        float bothShips;
    } cases[] = {
        {"second.soundEmitter:Emit()", 1.0f},
        {"second.soundEmitter:Emit() second.soundEmitter:Emit()", 1.0f},
        {"second.soundEmitter:Emit() second.soundEmitter:Stop()", 0.5f},
        {"second.soundEmitter:Emit() second.soundEmitter:Pause()", 0.5f},
        {"second.soundEmitter:Emit() second.soundEmitter:TogglePaused()", 0.5f},
        {"second.soundEmitter:Emit() second.soundEmitter:Restart()", 1.0f},
        {"second.soundEmitter:Emit() second:RemoveSoundEmitter()", 0.5f},
        {"second.soundEmitter:Stop()", 0.5f},
        {"second.soundEmitter:Restart() second.soundEmitter:Stop()", 0.5f},
        {"second:RemoveSoundEmitter()", 0.5f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.script);
        GameObject* first = Ship("Engine", "first");
        GameObject* second = Ship("Engine", "second");
        ASSERT_EQ(lua.Run(std::string("first.soundEmitter:Emit() ") + c.script), "");
        EXPECT_FLOAT_EQ(NextSample(), c.bothShips);
        second->SetComponent(SoundEmitter::TypeId(), nullptr, SoundEmitter::kTypeName);
        EXPECT_FLOAT_EQ(NextSample(), 0.5f);
        first->SetComponent(SoundEmitter::TypeId(), nullptr, SoundEmitter::kTypeName);
        EXPECT_EQ(Playing(), 0u);
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

// The second ship's emitter never played; its removal leaves the first ship's hum in the output.
TEST_F(AudioTest, RemovingAnEmitterThatNeverPlayedLeavesTheOthersSoundUp)
{
    Start("<ProjectName>Demo</ProjectName>");
    LuaTestState lua;
    LuaPublishGlobal("audio", &*m_audio);
    Ship("Engine", "first");
    Ship("Engine", "second");
    ASSERT_EQ(lua.Run("first.soundEmitter:Emit() second:RemoveSoundEmitter()"), "");
    std::vector<float> frames(2 * platform::sound::Mixer::kSpectrumSize * 2);
    Audio::GetEventSystem()->GetMixer().Mix(frames.data(), 2 * platform::sound::Mixer::kSpectrumSize);
    m_audio->Update(0.016f);
    EXPECT_TRUE(lua.Holds("audio:GetEnvelope() > 0"));
}

// An emitter added by a script has no event name: its event is not in the project. Its removal reports
// that once, and neither crashes nor restarts; nor does the removal of one that played, or of any
// emitter when the game has no project.
TEST_F(AudioTest, ScriptsAddAndRemoveEmittersWhateverTheirEvent)
{
    const struct
    {
        const char* settings;
        const char* event;
        const char* script;
        std::size_t reports;
    } cases[] = {
        {"<ProjectName>Demo</ProjectName>", "Engine",
         "ship:RemoveSoundEmitter() ship:AddSoundEmitter() "
         "ship:RemoveSoundEmitter()",
         1},
        {"<ProjectName>Demo</ProjectName>", "Engine", "ship.soundEmitter:Emit() ship:RemoveSoundEmitter()",
         0},
        {"<ProjectName>Demo</ProjectName>", "Engine", "ship:AddSoundEmitter() ship:AddSoundEmitter()", 1},
        {"<ProjectName>Demo</ProjectName>", "Missing", "ship:RemoveSoundEmitter()", 1},
        {"", "Engine", "ship:RemoveSoundEmitter() ship:AddSoundEmitter() ship:RemoveSoundEmitter()", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.script);
        Start(c.settings);
        LuaTestState lua;
        Ship(c.event, "ship");
        EXPECT_EQ(lua.Run(c.script), "");
        EXPECT_FALSE(TakePendingLuaRestart());
        EXPECT_EQ(Playing(), 0u);
        EXPECT_EQ(m_errors.Count(), c.reports);
        for (const std::string& text : m_errors.Texts())
            EXPECT_NE(text.find("FMOD ERROR:\nFailed to get event '"), std::string::npos) << text;
        lua.Close();
        EndGame();
    }
}

// However an object came by its emitter, each "EmitSound" and "StopSound" reaches it once: here as one
// report of its missing event per message.
TEST_F(AudioTest, AnEmitterHearsEachOfItsMessagesOnce)
{
    Start("<ProjectName>Demo</ProjectName>");
    const auto addEmitter = [](GameObject& ship)
    {
        auto* emitter = new SoundEmitter();
        emitter->m_eventName = "Missing";
        ship.SetComponent(SoundEmitter::TypeId(), emitter, SoundEmitter::kTypeName);
    };
    const auto removeEmitter = [](GameObject& ship)
    { ship.SetComponent(SoundEmitter::TypeId(), nullptr, SoundEmitter::kTypeName); };
    const std::vector<std::vector<std::function<void(GameObject&)>>> histories = {
        {addEmitter},
        {addEmitter, addEmitter},
        {addEmitter, removeEmitter, addEmitter},
        {addEmitter, addEmitter, removeEmitter, addEmitter, addEmitter},
    };
    MessageManager& messages = m_engine->GetMessageManager();
    for (std::size_t h = 0; h < histories.size(); ++h)
    {
        SCOPED_TRACE(h);
        GameObject* ship = m_engine->GetGameObjectManager().CreateIntern(new GameObject());
        for (const auto& step : histories[h])
            step(*ship);
        m_errors.Clear();
        messages.SendGOMessage(ship->GetHandle(), "EmitSound");
        EXPECT_EQ(m_errors.Count(), 1u);
        messages.SendGOMessage(ship->GetHandle(), "StopSound");
        EXPECT_EQ(m_errors.Count(), 2u);
        EXPECT_TRUE(m_errors.Any("Failed to get event 'Missing'"));
    }
}

// Pausing an emitter that has no instance (never emitted, or stopped) is reported with its event name;
// inside a script that restarts the game, without a crash. Without a project nothing is reported.
TEST_F(AudioTest, PausingBeforeEmitIsReportedWithTheEventName)
{
    const struct
    {
        const char* settings;
        void (SoundEmitter::*before)();
        void (SoundEmitter::*pause)();
        const char* report;
    } cases[] = {
        {"<ProjectName>Demo</ProjectName>", nullptr, &SoundEmitter::Pause,
         "FMOD ERROR:\nFailed to setPaused from 'Engine'\n"},
        {"<ProjectName>Demo</ProjectName>", nullptr, &SoundEmitter::TogglePaused,
         "FMOD ERROR:\nFailed to getPaused from 'Engine'\n"},
        {"<ProjectName>Demo</ProjectName>", &SoundEmitter::Restart, &SoundEmitter::Pause, nullptr},
        {"<ProjectName>Demo</ProjectName>", &SoundEmitter::Stop, &SoundEmitter::TogglePaused,
         "FMOD ERROR:\nFailed to getPaused from 'Engine'\n"},
        {"", nullptr, &SoundEmitter::Pause, nullptr},
        {"", nullptr, &SoundEmitter::TogglePaused, nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.report ? c.report : "no report");
        Start(c.settings);
        LuaTestState lua;
        GameObject* ship = Ship("Engine", "ship");
        SoundEmitter& emitter = *ship->Get<SoundEmitter>();
        if (c.before)
            (emitter.*c.before)();
        (emitter.*c.pause)();
        ASSERT_EQ(m_errors.Count(), c.report ? 1u : 0u);
        if (c.report)
        {
            EXPECT_TRUE(m_errors.Any(c.report)) << m_errors.Texts()[0];
            EXPECT_NE(lua.Run("ship.soundEmitter:Stop() ship.soundEmitter:Pause()"), "");
            EXPECT_TRUE(TakePendingLuaRestart());
        }
        lua.Close();
        EndGame();
    }
}

// Without a project a script still gets a prompt for any name: one that does nothing, says it is not
// active, and neither reports nor restarts.
TEST_F(AudioTest, WithoutAProjectMusicPromptsDoNothing)
{
    for (const char* settings : {"", "<ProjectName>Nowhere</ProjectName>"})
    {
        SCOPED_TRACE(settings);
        Start(settings);
        const std::size_t reports = m_errors.Count();
        LuaTestState lua;
        LuaPublishGlobal("audio", &*m_audio);
        EXPECT_EQ(lua.Run(R"(
            local prompt = audio:GetMusicPrompt("x")
            assert(prompt ~= nil)
            prompt:Begin()
            assert(not prompt:IsActive())
            prompt:Toggle()
            assert(not prompt:IsActive())
            prompt:End()
            audio:ResetMusicSystem()
        )"),
                  "");
        EXPECT_FALSE(TakePendingLuaRestart());
        EXPECT_EQ(m_errors.Count(), reports);
        lua.Close();
        EndGame();
    }
}

// A script may run a prompt's finalizer itself, even twice; the prompt is then unusable, not freed twice.
TEST_F(AudioTest, APromptsFinalizerRunsOnce)
{
    Start("<ProjectName>Demo</ProjectName>");
    LuaTestState lua;
    LuaPublishGlobal("audio", &*m_audio);
    EXPECT_EQ(lua.Run(R"(
        local prompt = audio:GetMusicPrompt("Theme")
        prompt:Begin()
        getmetatable(prompt).__gc(prompt)
        getmetatable(prompt).__gc(prompt)
        assert(not pcall(prompt.Begin, prompt))
    )"),
              "");
    EXPECT_EQ(m_errors.Count(), 0u);
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
    std::unique_ptr<platform::sound::Event> knock;
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
