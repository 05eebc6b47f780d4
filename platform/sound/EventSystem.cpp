#include "platform/sound/EventSystem.h"

#include "platform/sound/AudioOutput.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>

namespace Quarn::platform::sound
{

Event::~Event()
{
    Stop(true);
}

SoundResult Event::Start()
{
    Stop(true);
    if (!m_media->sound)
        return SoundResult::EventNotFound;
    m_voice = m_mixer.Play(m_media->sound, m_media->volume, m_media->loop);
    return SoundResult::Ok;
}

SoundResult Event::Stop(bool)
{
    if (m_voice != Mixer::kNoVoice)
        m_mixer.Stop(m_voice);
    m_voice = Mixer::kNoVoice;
    return SoundResult::Ok;
}

SoundResult Event::GetPaused(bool& paused) const
{
    paused = m_mixer.IsPaused(m_voice);
    return SoundResult::Ok;
}

SoundResult Event::SetPaused(bool paused)
{
    m_mixer.SetPaused(m_voice, paused);
    return SoundResult::Ok;
}

bool Event::IsPlaying() const
{
    return m_voice != Mixer::kNoVoice && m_mixer.IsPlaying(m_voice);
}

SoundResult EventGroup::GetEvent(std::string_view name, std::unique_ptr<Event>& event)
{
    const auto found = m_events.find(name);
    if (found == m_events.end())
        return SoundResult::EventNotFound;
    event.reset(new Event(m_mixer, found->second));
    return SoundResult::Ok;
}

SoundResult EventProject::GetGroup(std::string_view name, EventGroup*& group)
{
    if (name != "untitled")
        return SoundResult::EventNotFound;
    group = &m_group;
    return SoundResult::Ok;
}

SoundResult EventCategory::SetVolume(float volume)
{
    m_mixer.SetMasterVolume(volume);
    return SoundResult::Ok;
}

SoundResult EventCategory::GetVolume(float& volume) const
{
    volume = m_mixer.GetMasterVolume();
    return SoundResult::Ok;
}

SoundResult EventCategory::SetMute(bool mute)
{
    m_mixer.SetMasterMute(mute);
    return SoundResult::Ok;
}

SoundResult EventCategory::GetMute(bool& mute) const
{
    mute = m_mixer.GetMasterMute();
    return SoundResult::Ok;
}

SoundResult MusicPrompt::Begin()
{
    return m_cue->Start();
}

SoundResult MusicPrompt::End()
{
    return m_cue->Stop(false);
}

SoundResult MusicPrompt::IsActive(bool& active) const
{
    active = m_cue->IsPlaying();
    return SoundResult::Ok;
}

SoundResult MusicSystem::FindCues(std::string_view filter, std::vector<MusicCueEntry>& entries) const
{
    entries.clear();
    for (const auto& [id, cue] : m_cues)
        if (cue.name.find(filter) != std::string::npos)
            entries.push_back({cue.name, id});
    return entries.empty() ? SoundResult::EventNotFound : SoundResult::Ok;
}

SoundResult MusicSystem::PrepareCue(std::uint32_t id, std::unique_ptr<MusicPrompt>& prompt)
{
    const auto found = m_cues.find(id);
    if (found == m_cues.end())
        return SoundResult::EventNotFound;
    prompt.reset(new MusicPrompt(found->second.event));
    return SoundResult::Ok;
}

SoundResult MusicSystem::Reset()
{
    for (auto& [id, cue] : m_cues)
        cue.event->Stop(true);
    return SoundResult::Ok;
}

EventSystem::EventSystem() = default;

EventSystem::~EventSystem()
{
    // The device stops pulling before the mixer goes.
    m_output.reset();
}

SoundResult EventSystem::Init(std::uint32_t maxChannels)
{
    std::string error;
    m_output = OpenSdlAudioOutput(m_mixer, error);
    if (!m_output)
        return SoundResult::OutputFailed;
    return InitWithoutOutput(maxChannels);
}

SoundResult EventSystem::InitWithoutOutput(std::uint32_t maxChannels)
{
    if (maxChannels == 0)
        return SoundResult::InvalidParameter;
    m_initialized = true;
    return SoundResult::Ok;
}

SoundResult EventSystem::SetMediaPath(const std::string& path)
{
    if (!m_initialized)
        return SoundResult::NotInitialized;
    m_mediaPath = path;
    return SoundResult::Ok;
}

namespace
{

// One line of a built project: a kind and its tab-separated fields.
struct ProjectLine
{
    std::string kind;
    std::vector<std::string> fields;
};

bool ReadFloat(const std::string& text, float& value)
{
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && at == end;
}

bool ParseProject(std::string_view text, std::vector<ProjectLine>& lines)
{
    std::istringstream in{std::string(text)};
    std::string line;
    if (!std::getline(in, line) || line != "QFEV 1")
        return false;
    while (std::getline(in, line))
    {
        if (line.empty())
            continue;
        const std::size_t space = line.find(' ');
        if (space == std::string::npos)
            return false;
        ProjectLine parsed{line.substr(0, space), {}};
        std::istringstream fields(line.substr(space + 1));
        for (std::string field; std::getline(fields, field, '\t');)
            parsed.fields.push_back(field);
        const bool known = (parsed.kind == "event" && parsed.fields.size() == 4) ||
                           (parsed.kind == "cue" && parsed.fields.size() == 3);
        if (!known || parsed.fields[0].empty())
            return false;
        lines.push_back(std::move(parsed));
    }
    return true;
}

} // namespace

// A built project read and decoded, not yet in the event system.
struct EventSystem::ProjectContents
{
    struct Media
    {
        std::string name;
        EventMedia media;
    };
    std::vector<Media> events;
    std::vector<Media> cues;
};

SoundResult EventSystem::Read(const char* data, std::size_t size, ProjectContents& contents) const
{
    if (!m_initialized)
        return SoundResult::NotInitialized;
    if (!data)
        return SoundResult::InvalidParameter;
    std::vector<ProjectLine> lines;
    if (!ParseProject(std::string_view(data, size), lines))
        return SoundResult::BadFormat;
    for (const ProjectLine& line : lines)
    {
        ProjectContents::Media media{line.fields[0], {}};
        if (!ReadFloat(line.fields[2], media.media.volume) || !std::isfinite(media.media.volume))
            return SoundResult::BadFormat;
        auto sound = std::make_shared<SoundBuffer>();
        const SoundResult decoded = DecodeSoundFile(m_mediaPath + line.fields[1], *sound);
        if (decoded != SoundResult::Ok)
            return decoded;
        media.media.sound = std::move(sound);
        // Music cues loop until they are ended.
        media.media.loop = true;
        if (line.kind == "event")
        {
            if (line.fields[3] != "0" && line.fields[3] != "1")
                return SoundResult::BadFormat;
            media.media.loop = line.fields[3] == "1";
            contents.events.push_back(std::move(media));
        }
        else
            contents.cues.push_back(std::move(media));
    }
    return SoundResult::Ok;
}

namespace
{

// The media named name, taken out of the list; null when the list has none of that name.
template <class Media> std::optional<Media> TakeMedia(std::vector<Media>& list, const std::string& name)
{
    const auto found = std::find_if(list.begin(), list.end(), [&](const Media& m) { return m.name == name; });
    if (found == list.end())
        return std::nullopt;
    Media media = std::move(*found);
    list.erase(found);
    return media;
}

} // namespace

void EventSystem::Replace(EventMedia& media, EventMedia replacement)
{
    if (media.sound)
        m_mixer.StopSound(*media.sound);
    media = std::move(replacement);
}

void EventSystem::Apply(EventProject& project, ProjectContents& contents)
{
    auto& events = project.m_group.m_events;
    for (auto it = events.begin(); it != events.end();)
    {
        auto media = TakeMedia(contents.events, it->first);
        Replace(*it->second, media ? std::move(media->media) : EventMedia{});
        it = media ? std::next(it) : events.erase(it);
    }
    for (auto& media : contents.events)
        events[media.name] = std::make_shared<EventMedia>(std::move(media.media));

    std::vector<std::uint32_t> cueIds;
    for (const std::uint32_t id : project.m_cueIds)
    {
        MusicSystem::Cue& cue = m_music.m_cues.at(id);
        auto media = TakeMedia(contents.cues, cue.name);
        Replace(*cue.event->m_media, media ? std::move(media->media) : EventMedia{});
        if (media)
            cueIds.push_back(id);
        else
            m_music.m_cues.erase(id);
    }
    for (auto& media : contents.cues)
    {
        m_music.m_cues[m_nextCueId] = {
            media.name,
            std::shared_ptr<Event>(new Event(m_mixer, std::make_shared<EventMedia>(std::move(media.media))))};
        cueIds.push_back(m_nextCueId++);
    }
    project.m_cueIds = std::move(cueIds);
}

SoundResult EventSystem::Load(const char* data, std::size_t size, EventProject*& project)
{
    ProjectContents contents;
    const SoundResult read = Read(data, size, contents);
    if (read != SoundResult::Ok)
        return read;
    m_projects.push_back(std::unique_ptr<EventProject>(new EventProject(m_mixer)));
    Apply(*m_projects.back(), contents);
    project = m_projects.back().get();
    return SoundResult::Ok;
}

SoundResult EventSystem::Reload(EventProject& project, const char* data, std::size_t size)
{
    ProjectContents contents;
    const SoundResult read = Read(data, size, contents);
    if (read != SoundResult::Ok)
        return read;
    Apply(project, contents);
    return SoundResult::Ok;
}

SoundResult EventSystem::GetProjectByIndex(std::size_t index, EventProject*& project)
{
    if (index >= m_projects.size())
        return SoundResult::InvalidParameter;
    project = m_projects[index].get();
    return SoundResult::Ok;
}

SoundResult EventSystem::GetCategory(std::string_view name, EventCategory*& category)
{
    if (name != "master")
        return SoundResult::EventNotFound;
    category = &m_master;
    return SoundResult::Ok;
}

SoundResult EventSystem::GetMusicSystem(MusicSystem*& music)
{
    if (!m_initialized)
        return SoundResult::NotInitialized;
    music = &m_music;
    return SoundResult::Ok;
}

SoundResult EventSystem::GetHardwareChannels(int& channels2d, int& channels3d, int& total) const
{
    // Every voice is mixed in software: no hardware voices.
    channels2d = channels3d = total = 0;
    return m_initialized ? SoundResult::Ok : SoundResult::NotInitialized;
}

SoundResult EventSystem::GetSpectrum(float* values, std::size_t count) const
{
    m_mixer.GetSpectrum(values, count);
    return SoundResult::Ok;
}

SoundResult EventSystem::Update()
{
    return m_initialized ? SoundResult::Ok : SoundResult::NotInitialized;
}

} // namespace Quarn::platform::sound
