#include "support/TempDir.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>

namespace Quarn::test
{

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quarn-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempDir::Write(const std::string& relative, const std::string& text) const
{
    const auto file = m_path / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    return file;
}

std::string TempDir::Read(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ScopedWorkingDir::ScopedWorkingDir(const std::filesystem::path& dir)
    : m_previous(std::filesystem::current_path())
{
    std::filesystem::current_path(dir);
}

ScopedWorkingDir::~ScopedWorkingDir()
{
    std::filesystem::current_path(m_previous);
}

ScopedPicturesFolder::ScopedPicturesFolder(const std::filesystem::path& config,
                                           const std::filesystem::path& pictures)
{
    if (const char* previous = std::getenv("XDG_CONFIG_HOME"))
        m_previous = previous;
    std::filesystem::create_directories(pictures);
    std::filesystem::create_directories(config);
    std::ofstream(config / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"" << pictures.string() << "\"\n";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
}

ScopedPicturesFolder::~ScopedPicturesFolder()
{
    if (m_previous)
        setenv("XDG_CONFIG_HOME", m_previous->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

} // namespace Quarn::test
