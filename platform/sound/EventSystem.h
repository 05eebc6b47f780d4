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

// What an event of a project plays: its media, volume and whether it loops. Shared by the event's
// instances; a reload of the project gives it other media or none.
struct EventMedia
{
    std::shared_ptr<const SoundBuffer> sound;
    float volume = 1.0f;
    bool loop = false;
};

// One instance of a project's event, with a voice of its own: starting it starts its own voice over,
// and stopping, pausing or destroying it never touches another instance's voice. It plays the event's
// media of the moment it starts; an event a reload removed starts nothing. It plays in its event system's
// mixer, so it goes before the event system does.
class Event
{
public:
    // Stops its voice.
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    SoundResult Start();
    // Stops the instance; immediate or not, it is silent from the next mix on.
    SoundResult Stop(bool immediate);
    SoundResult GetPaused(bool& paused) const;
    SoundResult SetPaused(bool paused);
    bool IsPlaying() const;

private:
    friend class EventGroup;
    friend class EventSystem;

    Event(Mixer& mixer, std::shared_ptr<EventMedia> media) : m_mixer(mixer), m_media(std::move(media)) {}

    Mixer& m_mixer;
    std::shared_ptr<EventMedia> m_media;
    Mixer::VoiceId m_voice = Mixer::kNoVoice;
};

// The events of a project, by name.
class EventGroup
{
public:
    // A new instance of the event of that name, owned by the caller.
    SoundResult GetEvent(std::string_view name, std::unique_ptr<Event>& event);

private:
    friend class EventProject;
    friend class EventSystem;
    explicit EventGroup(Mixer& mixer) : m_mixer(mixer) {}

    Mixer& m_mixer;
    std::map<std::string, std::shared_ptr<EventMedia>, std::less<>> m_events;
};

// A project loaded from its built form: its one group "untitled" and its music cues.
class EventProject
{
public:
    SoundResult GetGroup(std::string_view name, EventGroup*& group);

private:
    friend class EventSystem;
    explicit EventProject(Mixer& mixer) : m_group(mixer) {}

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
    // Loads a built project again in place of a loaded one: its playing events and cues stop; instances
    // and prompts of events and cues kept by name play the new media from their next start, those of
    // removed ones play nothing. A bad project changes nothing.
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
    // Stops every voice of the media, then gives it the new media (none: it plays nothing).
    void Replace(EventMedia& media, EventMedia replacement);

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
