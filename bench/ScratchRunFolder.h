#pragma once

#include <filesystem>
#include <fstream>
#include <string>

// A run folder of its own in the temporary folder, made the working directory for the object's life:
// <temp>/<name>/run is the current directory, so the source root "../Resources" is <temp>/<name>/Resources
// and the working root "./Resources" is <temp>/<name>/run/Resources. Declare it before the engine
// objects it holds, so that they go first.
class ScratchRunFolder
{
public:
    explicit ScratchRunFolder(const std::string& name)
        : m_folder(std::filesystem::temp_directory_path() / name), m_previous(std::filesystem::current_path())
    {
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder / "run");
        std::filesystem::current_path(m_folder / "run");
    }
    ~ScratchRunFolder()
    {
        std::filesystem::current_path(m_previous);
        std::filesystem::remove_all(m_folder);
    }
    ScratchRunFolder(const ScratchRunFolder&) = delete;
    ScratchRunFolder& operator=(const ScratchRunFolder&) = delete;

    // Writes a file below the source root or the working root, making its folders.
    void WriteSource(const std::string& relative, const std::string& text) const
    {
        Write(m_folder / "Resources" / relative, text);
    }
    void WriteWorking(const std::string& relative, const std::string& text) const
    {
        Write(m_folder / "run" / "Resources" / relative, text);
    }

private:
    static void Write(const std::filesystem::path& file, const std::string& text)
    {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    std::filesystem::path m_folder;
    std::filesystem::path m_previous;
};
