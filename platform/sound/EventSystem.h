#pragma once

#include "platform/sound/Mixer.h"
#include "platform/sound/SoundResult.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Quarn::platform::sound
{

class AudioOutput;
class EventSystem;

// One playable sound of a project: its media, volume and whether it loops. Starting a playing event
// starts it over.
class Event
{
public:
    SoundResult Start();
    // Stops the event; immediate or not, it is silent from the next mix on.
    SoundResult Stop(bool immediate);
    SoundResult GetPaused(bool& paused) const;
    SoundResult SetPaused(bool paused);
    bool IsPlaying() const;

private:
    friend class EventSystem;
    // Stops the event and gives it other media, so holders of the event play the new media from
    // their next start; an event without media starts nothing.
    void Replace(std::shared_ptr<const SoundBuffer> sound, float volume, bool loop);

    Event(Mixer& mixer, std::shared_ptr<const SoundBuffer> sound, float volume, bool loop)
        : m_mixer(mixer), m_sound(std::move(sound)), m_volume(volume), m_loop(loop)
    {
    }

    Mixer& m_mixer;
    std::shared_ptr<const SoundBuffer> m_sound;
    float m_volume;
    bool m_loop;
    Mixer::VoiceId m_voice = Mixer::kNoVoice;
};

// The events of a project, by name.
class EventGroup
{
public:
    SoundResult GetEvent(std::string_view name, Event*& event);

private:
    friend class EventSystem;
    std::map<std::string, std::unique_ptr<Event>, std::less<>> m_events;
};

// A project loaded from its built form: its one group "untitled" and its music cues.
class EventProject
{
public:
    SoundResult GetGroup(std::string_view name, EventGroup*& group);

private:
    friend class EventSystem;
    EventGroup m_group;
    // The music system's cues that came from this project.
    std::vector<std::uint32_t> m_cueIds;
};

// The master category: the volume and mute of everything played.
class EventCategory
{
public:
    SoundResult SetVolume(float volume);
    SoundResult GetVolume(float& volume) const;
    SoundResult SetMute(bool mute);
    SoundResult GetMute(bool& mute) const;

private:
    friend class EventSystem;
    explicit EventCategory(Mixer& mixer) : m_mixer(mixer) {}
    Mixer& m_mixer;
};

// A music cue prepared to play: Begin plays it (looping) until End.
class MusicPrompt
{
public:
    SoundResult Begin();
    SoundResult End();
    SoundResult IsActive(bool& active) const;

private:
    friend class MusicSystem;
    explicit MusicPrompt(std::shared_ptr<Event> cue) : m_cue(std::move(cue)) {}
    // Shared: a prompt outlives its cue's removal by a project reload, and then plays nothing.
    std::shared_ptr<Event> m_cue;
};

struct MusicCueEntry
{
    std::string name;
    std::uint32_t id = 0;
};

// The music cues of the loaded projects, found by a name filter (a cue whose name contains it).
class MusicSystem
{
public:
    SoundResult FindCues(std::string_view filter, std::vector<MusicCueEntry>& entries) const;
    SoundResult PrepareCue(std::uint32_t id, std::unique_ptr<MusicPrompt>& prompt);
    // Ends every cue.
    SoundResult Reset();

private:
    friend class EventSystem;
    struct Cue
    {
        std::string name;
        std::shared_ptr<Event> event;
    };
    std::map<std::uint32_t, Cue> m_cues;
};

// The sound-event system: projects built from authored ones, loaded from memory with their media from
// the media path, played through one mixer into the output.
class EventSystem
{
public:
    EventSystem();
    ~EventSystem();

    // Opens the output (SDL audio); the mixer plays any number of voices, so the count is only checked.
    SoundResult Init(std::uint32_t maxChannels);
    // For tests: the mixer is pulled by hand instead of a device.
    SoundResult InitWithoutOutput(std::uint32_t maxChannels);
    SoundResult SetMediaPath(const std::string& path);
    // A built project (".fev" text): its events and cues, their media decoded from the media path. A
    // bad project or missing media loads nothing.
    SoundResult Load(const char* data, std::size_t size, EventProject*& project);
    // Loads a built project again in place of a loaded one: its playing events and cues stop, and
    // events and cues kept by name are the same objects with the new media; holders of removed ones
    // find them gone (events) or silent (prompts). A bad project changes nothing.
    SoundResult Reload(EventProject& project, const char* data, std::size_t size);
    SoundResult GetProjectByIndex(std::size_t index, EventProject*& project);
    SoundResult GetCategory(std::string_view name, EventCategory*& category);
    SoundResult GetMusicSystem(MusicSystem*& music);
    SoundResult GetHardwareChannels(int& channels2d, int& channels3d, int& total) const;
    SoundResult GetSpectrum(float* values, std::size_t count) const;
    SoundResult Update();

    Mixer& GetMixer() { return m_mixer; }

private:
    struct ProjectContents;
    SoundResult Read(const char* data, std::size_t size, ProjectContents& contents) const;
    void Apply(EventProject& project, ProjectContents& contents);

    Mixer m_mixer;
    std::unique_ptr<AudioOutput> m_output;
    bool m_initialized = false;
    std::string m_mediaPath;
    std::vector<std::unique_ptr<EventProject>> m_projects;
    EventCategory m_master{m_mixer};
    MusicSystem m_music;
    std::uint32_t m_nextCueId = 1;
};

} // namespace Quarn::platform::sound
