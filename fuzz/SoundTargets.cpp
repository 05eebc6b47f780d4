#include "SoundTargets.h"

#include "platform/sound/EventSystem.h"
#include "platform/sound/SoundBuffer.h"
#include "tools/soundbuilder/ProjectBuilder.h"

#include <sndfile.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace Quarn::fuzz
{

namespace
{

// The scratch folder, removed when the process ends normally. It lies in memory where the system has a
// memory file system: the builder flushes what it writes to disk.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::error_code error;
        const std::filesystem::path memory = "/dev/shm";
        const std::filesystem::path base =
            std::filesystem::is_directory(memory, error) ? memory : std::filesystem::temp_directory_path();
        m_path = base / ("quarn-sound-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_path);
        for (const char* name : {"engine.wav", "hit.wav", "theme.wav"})
            WriteSound(m_path / name);
    }
    ~ScratchFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    // The bytes as the file name in the folder.
    std::filesystem::path Write(const char* name, const std::uint8_t* data, std::size_t size) const
    {
        const std::filesystem::path file = m_path / name;
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return file;
    }

private:
    // 64 frames of a 16-bit mono WAV at the mixer's rate.
    static void WriteSound(const std::filesystem::path& path)
    {
        SF_INFO info{};
        info.samplerate = static_cast<int>(platform::sound::kMixRate);
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        const std::vector<float> samples(64, 0.5f);
        sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
        sf_close(file);
    }

    std::filesystem::path m_path;
};

const ScratchFolder& Scratch()
{
    static const ScratchFolder folder;
    return folder;
}

} // namespace

void BuildSoundProject(const std::uint8_t* data, std::size_t size)
{
    const ScratchFolder& scratch = Scratch();
    const std::filesystem::path source = scratch.Write("Fuzz.fdp", data, size);
    std::string error;
    tools::BuildProject(source, scratch.Path() / "out" / "Fuzz.fev", scratch.Path() / "media", error);
}

void LoadSoundProject(const std::uint8_t* data, std::size_t size)
{
    platform::sound::EventSystem events;
    events.InitWithoutOutput(50);
    events.SetMediaPath(Scratch().Path().string() + "/");
    const char* text = reinterpret_cast<const char*>(data);
    platform::sound::EventProject* project = nullptr;
    if (events.Load(text, size, project) == platform::sound::SoundResult::Ok)
        events.Reload(*project, text, size);
}

void ReadSoundFile(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path file = Scratch().Write("fuzz.sound", data, size);
    platform::sound::SoundBuffer buffer;
    platform::sound::DecodeSoundFile(file.string(), buffer);
}

} // namespace Quarn::fuzz
