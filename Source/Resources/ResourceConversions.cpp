// The copies and conversions that bring files from the source root into the working root.
#include "Resources/ResourceManager.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"

#include <cctype>
#include <system_error>

namespace Quarn
{

namespace
{

// Where a file of the source root lives in the working root; a path outside the source root (a
// working-root file read by LoadObject) keeps its place.
std::string InWorkingRoot(const std::string& path, const std::string& sourceRoot,
                          const std::string& workingRoot)
{
    if (path.size() > sourceRoot.size() && path.compare(0, sourceRoot.size(), sourceRoot) == 0 &&
        path[sourceRoot.size()] == '/')
        return workingRoot + path.substr(sourceRoot.size());
    return path;
}

// Whether target exists and was written strictly later than source.
bool IsNewer(const std::filesystem::path& target, const std::filesystem::path& source)
{
    std::error_code error;
    const auto targetTime = std::filesystem::last_write_time(target, error);
    if (error)
        return false;
    const auto sourceTime = std::filesystem::last_write_time(source, error);
    return !error && targetTime > sourceTime;
}

} // namespace

void ResourceManager::AddCopiedExtension(const std::string& extension)
{
    const std::vector<std::string> sources = m_sourceFiles.Files(extension);
    for (const std::string& source : sources)
        CopyFile(source);
    IndexWorkingFiles(extension);
}

void ResourceManager::AddCopiedExtensions(const std::vector<std::string>& extensions)
{
    for (const std::string& extension : extensions)
        AddCopiedExtension(extension);
}

void ResourceManager::AddDerivedExtension(const std::string& sourceExtension,
                                          const std::string& derivedExtension)
{
    const std::vector<std::string> sources = m_sourceFiles.Files(sourceExtension);
    for (const std::string& source : sources)
        CopyFile(source);
    IndexWorkingFiles(derivedExtension);
}

void ResourceManager::AddConversion(const std::string& sourceExtension, const std::string& derivedExtension,
                                    ResourceConverter converter)
{
    m_conversions.push_back({sourceExtension, std::move(converter), derivedExtension});
    RunConversion(m_conversions.back());
}

const std::vector<std::string>& ResourceManager::WorkingFiles(const std::string& extension)
{
    return m_workingFiles.Files(extension);
}

void ResourceManager::IndexWorkingFiles(const std::string& extension)
{
    const std::vector<std::string> files = m_workingFiles.Files(extension);
    for (const std::string& file : files)
        m_resources.Add(file);
}

void ResourceManager::CopyFile(const std::string& source)
{
    const std::string target = InWorkingRoot(source, m_sourceRoot, m_workingRoot);
    if (target == source || IsNewer(target, source))
        return;
    // An older working copy is replaced too, through a temporary file, so a failed copy leaves the old
    // copy whole.
    const std::filesystem::path targetPath(target);
    const std::filesystem::path temporary = targetPath.string() + ".copying";
    std::error_code error;
    std::filesystem::create_directories(targetPath.parent_path(), error);
    if (!error)
        std::filesystem::copy_file(source, temporary, std::filesystem::copy_options::overwrite_existing,
                                   error);
    if (!error)
        std::filesystem::rename(temporary, targetPath, error);
    if (error)
    {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        QUARN_REPORT("Could not copy '%s' to '%s': %s", source.c_str(), target.c_str(),
                     error.message().c_str());
    }
    if (std::filesystem::exists(targetPath, error))
        m_workingFiles.Add(target);
}

bool ResourceManager::ConvertExtensionIntern(const std::string& derivedExtension, const std::string& source,
                                             const ResourceConverter& converter)
{
    std::string extension = derivedExtension;
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string derived = std::filesystem::path(source).replace_extension(extension).string();
    const std::string target = InWorkingRoot(derived, m_sourceRoot, m_workingRoot);
    if (IsNewer(target, source))
        return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), error);
    converter(source, target);
    // A derived file is known only once the converter made it.
    if (std::filesystem::exists(target, error))
        m_workingFiles.Add(target);
    return true;
}

void ResourceManager::RefreshResources()
{
    for (const ConversionParameters& conversion : m_conversions)
        RunConversion(conversion);
    OutputHandler& output = OutputHandler::Get();
    // Every loaded resource is loaded again into its own object, so handles held anywhere stay valid.
    m_loaded->ForEach(
        [&](const LoadedResources::Record& record)
        {
            ResourceNode* node = nullptr;
            if (!m_resources.Filter(record.key.GetName(), node))
            {
                QUARN_ASSERT_FAILED_AS("!m_resources.FindAnnotation(iter->first.GetName(),&node)",
                                       "No resource with name \"%s\" exists.", record.key.GetName().c_str());
                return;
            }
            const auto creator = m_creators.find(record.key.type);
            if (creator == m_creators.end() || !creator->second)
                return;
            output.Log("Recreate resource '%s'!", record.key.GetName().c_str());
            creator->second(*node, *m_systems, *record.object);
        });
}

void ResourceManager::RunConversion(const ConversionParameters& conversion)
{
    const std::vector<std::string> sources = m_sourceFiles.Files(conversion.sourceExtension);
    for (const std::string& source : sources)
        ConvertExtensionIntern(conversion.derivedExtension, source, conversion.converter);
    IndexWorkingFiles(conversion.derivedExtension);
}

} // namespace Quarn
