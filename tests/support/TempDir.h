#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace Quarn::test
{

// A fresh folder under the system temp folder, removed with everything in it when the object goes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

    // Writes text to a file below the folder, making its parent folders.
    std::filesystem::path Write(const std::string& relative, const std::string& text) const;
    static std::string Read(const std::filesystem::path& file);

private:
    std::filesystem::path m_path;
};

// Makes a folder the working directory for its lifetime.
// For its lifetime the user's pictures folder is pictures (made, empty): a user-dirs.dirs in config
// names it, and XDG_CONFIG_HOME names config. The variable's old value comes back after.
class ScopedPicturesFolder
{
public:
    ScopedPicturesFolder(const std::filesystem::path& config, const std::filesystem::path& pictures);
    ~ScopedPicturesFolder();
    ScopedPicturesFolder(const ScopedPicturesFolder&) = delete;
    ScopedPicturesFolder& operator=(const ScopedPicturesFolder&) = delete;

private:
    std::optional<std::string> m_previous;
};

class ScopedWorkingDir
{
public:
    explicit ScopedWorkingDir(const std::filesystem::path& dir);
    ~ScopedWorkingDir();
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

private:
    std::filesystem::path m_previous;
};

} // namespace Quarn::test
