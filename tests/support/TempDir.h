#pragma once

#include <filesystem>
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
