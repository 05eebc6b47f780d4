#pragma once

#include "Audio/FMODProject.h"
#include "Core/SystemT.h"
#include "Resources/Resource.h"

#include <array>
#include <memory>
#include <string>

namespace Quarn
{

class MusicPrompt;

namespace platform::sound
{
class EventCategory;
class EventGroup;
class EventSystem;
} // namespace platform::sound

// The sound system: starts the event system, loads the one project its settings name, keeps the master
// volume and mute, steps the event system each frame, gives every sound emitter the project's events,
// and gives scripts volume, mute, music prompts and a loudness envelope.
class Audio : public SystemT<Audio>
{
public:
    Audio();
    ~Audio() override;

    // "ProjectName", "Volume", "Muted".
    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Audio"; }
    void Update(float dt) override;
    void Init() override;
    // Registers the component types this system owns, in their fixed order.
    static void RegisterComponentTypes();
    // Hands the project's events to sound emitters as they are made.
    void InitResources(ResourceManager& resources) override;
    static void RegisterLuaMethods(lua_State* state);

    // The running game's event system; null before an Audio system started one.
    static platform::sound::EventSystem* GetEventSystem();

    void SetVolume(float volume);
    float GetVolume() const;
    void SetMute(bool mute);
    bool GetMute() const;
    // A prompt of the first music cue whose name contains name; null after a reported failure.
    std::unique_ptr<MusicPrompt> GetMusicPrompt(const std::string& name);
    void ResetMusicSystem();
    // An envelope follower over the output's spectrum, computed at most once a frame.
    float GetEnvelope();

    platform::sound::EventGroup* GetGroup() const { return m_group; }

private:
    Resource<FMODProject> m_project;
    platform::sound::EventGroup* m_group = nullptr;
    // Shared with the sound emitters, which may outlive the system.
    std::shared_ptr<platform::sound::EventSystem> m_eventSystem;
    platform::sound::EventCategory* m_masterCategory = nullptr;
    float m_volume = 1.0f;
    bool m_muted = false;
    bool m_envelopeValid = false;
    float m_envelope = 0.0f;
};

} // namespace Quarn
