#include "support/RunFolder.h"

namespace Quarn::test
{

namespace
{
const std::filesystem::path& MadeRunDir(const TempDir& dir)
{
    std::filesystem::create_directories(dir / "run");
    return dir.Path();
}
} // namespace

RunFolder::RunFolder(const std::vector<std::string>& settingsNames) : m_cwd(MadeRunDir(m_dir) / "run")
{
    for (const std::string& name : settingsNames)
        WriteSource(name + ".xml", SettingsText(name));
}

std::filesystem::path RunFolder::WriteSource(const std::string& relative, const std::string& text) const
{
    return m_dir.Write("Resources/" + relative, text);
}

std::filesystem::path RunFolder::WriteWorking(const std::string& relative, const std::string& text) const
{
    return m_dir.Write("run/Resources/" + relative, text);
}

std::string RunFolder::SettingsText(const std::string& name)
{
    return "<?xml version=\"1.0\" ?>\n<root>\n    <" + name + " />\n</root>\n";
}

} // namespace Quarn::test
