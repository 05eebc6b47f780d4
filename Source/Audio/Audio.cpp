#include "Audio/Audio.h"

#include "Audio/FmodCheck.h"
#include "Audio/MusicPrompt.h"
#include "Audio/SoundEmitter.h"
#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "GameObjects/ComponentRegistry.h"
#include "Resources/ConvertViaCmdLine.h"
#include "Resources/ResourceManager.h"
#include "Resources/SerializerTypes.h"
#include "platform/sound/EventSystem.h"

#include <algorithm>
#include <cmath>

namespace Quarn
{

namespace gsound = platform::sound;

namespace
{
gsound::EventSystem* g_eventSystem = nullptr;
std::array<float, gsound::Mixer::kSpectrumSize> g_spectrum;
constexpr std::uint32_t kChannels = 50;
} // namespace

Audio::Audio() = default;

Audio::~Audio()
{
    if (g_eventSystem == m_eventSystem.get())
        g_eventSystem = nullptr;
}

gsound::EventSystem* Audio::GetEventSystem()
{
    return g_eventSystem;
}

bool Audio::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, m_project, "ProjectName");
    SerializeNamed(serializer, m_volume, "Volume");
    SerializeNamed(serializer, m_muted, "Muted");
    return true;
}

void Audio::RegisterComponentTypes()
{
    GetComponentRegistry().Register<SoundEmitter>();
}

void Audio::Init()
{
    OutputHandler& output = OutputHandler::Get();
    output.Log("Initializing FMOD");
    RegisterComponentTypes();
    m_eventSystem = std::make_shared<gsound::EventSystem>();
    g_eventSystem = m_eventSystem.get();
    if (QUARN_FMOD_FAILED(m_eventSystem->Init(kChannels), "Failed to initialize systems."))
        return;
    SystemManager* systems = SystemManager::Instance();
    if (!systems)
        return;
    ResourceManager& resources = systems->GetResourceManager();
    if (QUARN_FMOD_FAILED(m_eventSystem->SetMediaPath(resources.WorkingRoot() + "/Audio/"),
                          "Failed to set FMOD media path"))
        return;
    int channels2d = 0;
    int channels3d = 0;
    int total = 0;
    m_eventSystem->GetHardwareChannels(channels2d, channels3d, total);
    output.Log("There are %d total hardware voices available for sound.", total);
    output.Log("%d 2d voices.", channels2d);
    output.Log("%d 3d voices.", channels3d);
    output.Log("%d total voices including software.", std::max(total, 200));
    resources.RegisterCreator<FMODProject>(CallCreate<FMODProject>());
    resources.AddConversion(
        "fdp", "fev", ConvertViaCmdLine(ConvertViaCmdLine::SourceOnly, "./fmod_designercl.exe -pc \"%s\""));
    // A game without a project runs silent; so does one whose project is not there (reported once).
    const std::string name = m_project.GetName();
    if (name != Resource<FMODProject>().GetName())
    {
        ResourceNode* node = nullptr;
        if (resources.GetPathsByName(name, node))
            m_project = resources.GetResource<FMODProject>(name);
        else
            FMODProject::ReportMissing(name);
        gsound::EventProject* project = nullptr;
        if (m_project && m_project->GetProject() &&
            !QUARN_FMOD_FAILED(m_eventSystem->GetProjectByIndex(0, project), "Failed to get project"))
            QUARN_FMOD_FAILED(project->GetGroup("untitled", m_group), "Failed to get group");
    }
    m_eventSystem->GetCategory("master", m_masterCategory);
    m_masterCategory->SetVolume(m_volume);
    m_masterCategory->SetMute(m_muted);
}

void Audio::InitResources(ResourceManager&)
{
    SystemManager* systems = SystemManager::Instance();
    if (!systems)
        return;
    MessageManager& messages = systems->GetMessageManager();
    messages.RegisterListener<void(Component*)>(
        "CreatedSoundEmitter", [this, &messages](Component* emitter)
        { static_cast<SoundEmitter*>(emitter)->Init(messages, m_group, m_eventSystem); });
    messages.RegisterListener<void(Component*)>("DestroyedSoundEmitter", [](Component*) {});
}

void Audio::Update(float)
{
    m_envelopeValid = false;
    if (m_eventSystem)
        QUARN_FMOD_FAILED(m_eventSystem->Update(), "Failed to update");
}

void Audio::SetVolume(float volume)
{
    m_volume = volume;
    if (m_masterCategory)
        m_masterCategory->SetVolume(volume);
}

float Audio::GetVolume() const
{
    float volume = m_volume;
    if (m_masterCategory)
        m_masterCategory->GetVolume(volume);
    return volume;
}

void Audio::SetMute(bool mute)
{
    m_muted = mute;
    if (m_masterCategory)
        m_masterCategory->SetMute(mute);
}

bool Audio::GetMute() const
{
    bool mute = m_muted;
    if (m_masterCategory)
        m_masterCategory->GetMute(mute);
    return mute;
}

std::unique_ptr<MusicPrompt> Audio::GetMusicPrompt(const std::string& name)
{
    // Without a project there is no music: the script gets a prompt that does nothing.
    if (!m_project || !m_project->GetProject())
        return std::make_unique<MusicPrompt>(nullptr, nullptr);
    gsound::MusicSystem* music = nullptr;
    if (!m_eventSystem || QUARN_FMOD_FAILED(m_eventSystem->GetMusicSystem(music), "No music system"))
        return nullptr;
    std::vector<gsound::MusicCueEntry> cues;
    if (QUARN_FMOD_FAILED(music->FindCues(name, cues), "No such Music Cue (Prompt)"))
        return nullptr;
    std::unique_ptr<gsound::MusicPrompt> prompt;
    if (QUARN_FMOD_FAILED(music->PrepareCue(cues.front().id, prompt), "No such Music Prompt"))
        return nullptr;
    return std::make_unique<MusicPrompt>(std::move(prompt), m_eventSystem);
}

void Audio::ResetMusicSystem()
{
    gsound::MusicSystem* music = nullptr;
    if (!m_eventSystem || QUARN_FMOD_FAILED(m_eventSystem->GetMusicSystem(music), "No music system"))
        return;
    QUARN_FMOD_FAILED(music->Reset(), "Couldn't reset the music system");
}

float Audio::GetEnvelope()
{
    if (m_envelopeValid)
        return m_envelope;
    if (m_eventSystem)
        m_eventSystem->GetSpectrum(g_spectrum.data(), g_spectrum.size());
    const auto attack = static_cast<float>(std::exp(-1.0 / 8820.0));
    const auto release = static_cast<float>(std::exp(-1.0 / 44100.0));
    float envelope = 0.0f;
    for (float value : g_spectrum)
    {
        const float x = std::fabs(value);
        const float c = x > envelope ? attack : release;
        envelope = c * envelope + (1.0f - c) * x;
    }
    m_envelope = envelope;
    m_envelopeValid = true;
    return envelope;
}

} // namespace Quarn
