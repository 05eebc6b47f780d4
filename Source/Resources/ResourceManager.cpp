#include "Resources/ResourceManager.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/BinaryInput.h"
#include "Resources/Serializeable.h"
#include "Resources/XMLInput.h"
#include "Resources/XMLOutput.h"
#include "Script/LuaPolymorphicBase.h"
#include "platform/folders/UserFolders.h"

#include <cctype>
#include <cerrno>
#include <limits>
#include <system_error>

namespace Quarn
{

namespace
{

constexpr std::size_t kMaxUserDataName = 128;

std::string AbsoluteRoot(const char* relative)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(relative, error);
    if (error)
        absolute = std::filesystem::current_path(error) / relative;
    return absolute.lexically_normal().string();
}

// The lower-case text after the last dot of a file name; empty when there is none.
std::string ExtensionOf(const std::filesystem::path& path)
{
    const std::string name = path.filename().string();
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// A user data name must stay a plain file name inside the user's folder.
bool IsSafeFileNamePart(const std::string& part)
{
    return !part.empty() && part.size() <= kMaxUserDataName &&
           part.find_first_of("/\\") == std::string::npos && part.find("..") == std::string::npos &&
           part.find('\0') == std::string::npos;
}

} // namespace

void ResourceManager::ExtensionIndex::Add(const std::string& path)
{
    if (m_known.insert(path).second)
        m_files[ExtensionOf(path)].push_back(path);
}

const std::vector<std::string>& ResourceManager::ExtensionIndex::Files(const std::string& extension)
{
    return m_files[extension];
}

ResourceManager::ResourceManager(SystemManager& systems)
    : m_resources(*this), m_systems(&systems), m_loaded(std::make_shared<LoadedResources>())
{
    m_workingRoot = AbsoluteRoot("./Resources");
    m_sourceRoot = AbsoluteRoot("../Resources");
    Scan(m_sourceRoot, m_sourceFiles);
    Scan(m_workingRoot, m_workingFiles);
}

ResourceManager::~ResourceManager()
{
    ReleaseLuaIdentity(this);
}

void ResourceManager::Scan(const std::string& root, ExtensionIndex& index)
{
    std::error_code error;
    std::filesystem::recursive_directory_iterator walk(
        root, std::filesystem::directory_options::skip_permission_denied, error);
    for (; !error && walk != std::filesystem::recursive_directory_iterator(); walk.increment(error))
    {
        if (walk->is_regular_file(error) && !ExtensionOf(walk->path()).empty())
            index.Add(walk->path().string());
    }
}

std::shared_ptr<const char> ResourceManager::ReadFileData(const std::string& path, std::size_t& size)
{
    return m_preloadManager.GetData(path, size);
}

void ResourceManager::RegisterCreator(const std::string& typeName, ResourceCreator creator)
{
    m_creators[typeName] = std::move(creator);
}

void ResourceManager::UnregisterCreator(const std::string& typeName)
{
    m_loaded->EraseType(typeName);
}

std::shared_ptr<ResourceBase>
ResourceManager::GetResourceIntern(const std::string& typeName, const std::string& name,
                                   const std::function<std::shared_ptr<ResourceBase>()>& create)
{
    const ResourceKey key{typeName, name};
    if (auto loaded = m_loaded->Find(key))
        return loaded;
    ResourceNode* node = nullptr;
    if (!m_resources.Filter(name, node))
    {
        QUARN_ASSERT_FAILED_AS("!m_resources.Filter(resRef.GetName(),&node)",
                               "No resource with name \"%s\" exists. Looked for it in %s and %s.",
                               name.c_str(), m_sourceRoot.c_str(), m_workingRoot.c_str());
        return nullptr;
    }
    const auto creator = m_creators.find(typeName);
    if (creator == m_creators.end() || !creator->second)
    {
        QUARN_REPORT("No creator is registered for resources of type '%s' (requested as \"%s\").",
                     typeName.c_str(), name.c_str());
        return nullptr;
    }
    // A resource whose loading asks for itself would load forever.
    if (!m_loading.insert(key).second)
    {
        QUARN_REPORT("Resource \"%s\" asks for itself while it is being loaded.", name.c_str());
        return nullptr;
    }
    struct LoadingScope
    {
        std::unordered_set<ResourceKey, ResourceKeyHash>& loading;
        const ResourceKey& key;
        ~LoadingScope() { loading.erase(key); }
    } loadingScope{m_loading, key};
    // A copy: the creator may register creators itself.
    const ResourceCreator load = creator->second;
    std::shared_ptr<ResourceBase> object = create();
    load(*node, *m_systems, *object);
    return m_loaded->Enter(key, std::move(object));
}

bool ResourceManager::GetPathsByName(const std::string& name, ResourceNode*& node)
{
    return m_resources.Filter(name, node);
}

void ResourceManager::ReadXML(const std::filesystem::path& path, Serializeable& object,
                              const std::string& rootGroup, bool* hasExistence, std::vector<bool>* existence)
{
    XMLInput input(path);
    if (hasExistence)
    {
        *hasExistence = existence != nullptr;
        if (existence)
        {
            existence->clear();
            input.InjectExistence(*existence);
        }
    }
    if (input.Exists(rootGroup.c_str()))
    {
        input.BeginGroup(rootGroup.c_str());
        object.Serialize(input);
        input.EndGroup();
    }
}

void ResourceManager::LoadObject(const std::string& name, Serializeable& object, const std::string& rootGroup,
                                 const std::string& binaryExtension, const std::string& xmlExtension,
                                 bool* hasExistence, std::vector<bool>* existence)
{
    ResourceNode* node = nullptr;
    if (!m_resources.Filter(name, node))
    {
        QUARN_ASSERT_FAILED_AS("!m_resources.Filter(name,&node)",
                               "No resource with name \"%s\" exists. Looked for it in %s and %s.",
                               name.c_str(), m_sourceRoot.c_str(), m_workingRoot.c_str());
        return;
    }
    ResourceNode* binaryFile = nullptr;
    ResourceNode* xmlFile = nullptr;
    node->Filter(binaryExtension, binaryFile);
    node->Filter(xmlExtension, xmlFile);
    if (xmlFile && xmlFile->IsFile())
    {
        // The XML file is the one read whichever of the two is newer; the derived-file step only
        // keeps the binary file's place in the working root.
        const auto read = [&](const std::string& source, const std::string&)
        { ReadXML(source, object, rootGroup, hasExistence, existence); };
        if (!ConvertExtensionIntern(binaryExtension, xmlFile->Path(), read))
            read(xmlFile->Path(), {});
        return;
    }
    if (binaryFile && binaryFile->IsFile())
    {
        ReadBinary(binaryFile->Path(), object, hasExistence, existence);
        return;
    }
    QUARN_REPORT("File '%s' has neither extension '%s' nor '%s'", node->Path().c_str(), xmlExtension.c_str(),
                 binaryExtension.c_str());
}

bool ResourceManager::ReadBinary(const std::string& path, Serializeable& object, bool* hasExistence,
                                 std::vector<bool>* existence)
{
    std::size_t size = 0;
    const std::shared_ptr<const char> bytes = ReadFileData(path, size);
    if (!bytes)
        return false;
    if (size > std::numeric_limits<std::uint32_t>::max())
    {
        QUARN_REPORT("Binary file '%s' is too large to read (%zu bytes).", path.c_str(), size);
        return false;
    }
    BinaryInput input(bytes.get(), static_cast<std::uint32_t>(size));
    if (input.Exists(""))
    {
        input.BeginGroup("");
        object.Serialize(input);
        input.EndGroup();
    }
    if (hasExistence)
    {
        *hasExistence = true;
        if (existence)
            *existence = *input.GetExistence();
    }
    return input.Good();
}

bool ResourceManager::LoadBinaryFile(const std::string& path, Serializeable& object)
{
    return ReadBinary(path, object, nullptr, nullptr);
}

void ResourceManager::LoadXMLFile(const std::string& path, Serializeable& object)
{
    ReadXML(path, object, "Map", nullptr, nullptr);
}

bool ResourceManager::SaveXMLFile(const std::string& path, Serializeable& object)
{
    XMLOutput output(path);
    if (output.Exists("Map"))
    {
        output.BeginGroup("Map");
        object.Serialize(output);
        output.EndGroup();
    }
    return output.Save();
}

std::filesystem::path ResourceManager::UserDataPath(const std::string& name, const std::string& extension)
{
    if (!IsSafeFileNamePart(name) || !IsSafeFileNamePart(extension))
    {
        QUARN_REPORT(
            "User data name '%s.%s' is refused: it must be a plain file name of at most %zu characters.",
            name.c_str(), extension.c_str(), kMaxUserDataName);
        return {};
    }
    const std::filesystem::path folder = platform::LocalAppDataFolder();
    if (folder.empty())
    {
        QUARN_ASSERT_FAILED_AS("(hr=SHGetFolderPathA(0, 0x001c,0,SHGFP_TYPE_DEFAULT,pathData))!=S_OK",
                               "Failed to find the local appdata folder to save our application data "
                               "stuff!\nGetLastError = %u\nhr = %X\n",
                               static_cast<unsigned>(ENOENT), 0x80004005u);
        return {};
    }
    return folder / "Tavu" / (name + "." + extension);
}

bool ResourceManager::SaveUserData(const std::string& name, const std::string& extension,
                                   Serializeable& object, const std::string& rootGroup)
{
    const std::filesystem::path path = UserDataPath(name, extension);
    if (path.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error)
    {
        QUARN_REPORT("Could not make the folder '%s': %s", path.parent_path().c_str(),
                     error.message().c_str());
        return false;
    }
    XMLOutput output(path);
    if (output.Exists(rootGroup.c_str()))
    {
        output.BeginGroup(rootGroup.c_str());
        object.Serialize(output);
        output.EndGroup();
    }
    return output.Save();
}

bool ResourceManager::UserDataExists(const std::string& name)
{
    const std::filesystem::path path = UserDataPath(name, "xml");
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

void ResourceManager::LoadUserData(const std::string& name, const std::string& extension,
                                   Serializeable& object, const std::string& rootGroup)
{
    const std::filesystem::path path = UserDataPath(name, extension);
    if (!path.empty())
        ReadXML(path, object, rootGroup, nullptr, nullptr);
}

void ResourceManager::AddPreloadRequest(const std::string& name, float priority)
{
    ResourceNode* node = nullptr;
    if (!GetPathsByName(name, node))
    {
        QUARN_ASSERT_FAILED_AS("! GetPathsByName(name,&node)", "Could not find file '%s' to preload.",
                               name.c_str());
        return;
    }
    if (!node->IsFile())
    {
        QUARN_ASSERT_FAILED_AS("! node->IsFile()",
                               "Cannot preload file name '%s' could not be found needs extension!",
                               name.c_str());
        return;
    }
    m_preloadManager.AddRequest(node->Path(), priority);
}

} // namespace Quarn
