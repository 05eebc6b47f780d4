#pragma once

#include "support/TempDir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace Quarn::test
{

// A run folder in a fresh temporary folder, made the working directory for the object's lifetime:
// <temp>/run is the current directory, so the source root "../Resources" is <temp>/Resources and the
// working root "./Resources" is <temp>/run/Resources. Each named system gets a settings file holding
// its empty group, so registering it reads settings without a report. The user's pictures folder is
// <temp>/Pictures (empty) for the object's lifetime.
class RunFolder
{
public:
    explicit RunFolder(const std::vector<std::string>& settingsNames = {});
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    std::filesystem::path Source() const { return m_dir / "Resources"; }
    std::filesystem::path Working() const { return m_dir / "run" / "Resources"; }
    // Writes a file below the source root or the working root, making its folders.
    std::filesystem::path WriteSource(const std::string& relative, const std::string& text) const;
    std::filesystem::path WriteWorking(const std::string& relative, const std::string& text) const;
    std::filesystem::path Pictures() const { return m_dir / "Pictures"; }
    // The settings file of a system: its group, empty.
    static std::string SettingsText(const std::string& name);

private:
    TempDir m_dir;
    ScopedWorkingDir m_cwd;
    ScopedPicturesFolder m_pictures{m_dir / "config", m_dir / "Pictures"};
};

} // namespace Quarn::test
