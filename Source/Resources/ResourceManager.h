#pragma once

#include "Resources/LoadedResources.h"
#include "Resources/PreloadManager.h"
#include "Resources/Resource.h"
#include "Resources/ResourceNode.h"
#include "Resources/ResourceNodeOwner.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Quarn
{

class LuaBasicBind;
class Serializeable;
class SystemManager;

// Loads the resource of a node into an existing object of its type: the first load and every reload.
using ResourceCreator =
    std::function<void(ResourceNode& node, SystemManager& systems, ResourceBase& resource)>;
// Makes the derived file target from the file source.
using ResourceConverter = std::function<void(const std::string& source, const std::string& target)>;

// The key of a resource type in the creator table and the loaded-resource tables.
template <class T> std::string ResourceTypeName()
{
    return typeid(T).name();
}

// A creator for types that load themselves with Create(node, systems).
template <class T> ResourceCreator CallCreate()
{
    return [](ResourceNode& node, SystemManager& systems, ResourceBase& resource)
    { static_cast<T&>(resource).Create(node, systems); };
}

// Finds every game file by a short, case-blind name, keeps one loaded object per name and type, and
// reads objects from their XML or binary files.
//
// It works on two trees: the source root "../Resources" and the working root "./Resources", both
// relative to the current directory. Files of registered extensions are copied or converted from the
// source root into the working root, and only working-root files enter the name tree.
class ResourceManager final : public ResourceNodeOwner
{
public:
    struct ConversionParameters
    {
        std::string sourceExtension;
        ResourceConverter converter;
        std::string derivedExtension;
    };

    // Scans both roots; no file enters the name tree until its extension is registered.
    explicit ResourceManager(SystemManager& systems);
    ~ResourceManager();
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // The Lua table "resources": "ForEachExtension" and "AddPreloadRequest".
    static LuaBasicBind& GetLuaBind();

    const std::string& SourceRoot() const override { return m_sourceRoot; }
    const std::string& WorkingRoot() const override { return m_workingRoot; }
    std::shared_ptr<const char> ReadFileData(const std::string& path, std::size_t& size) override;

    // Creators are keyed by type name (ResourceTypeName); a later registration replaces an earlier one.
    void RegisterCreator(const std::string& typeName, ResourceCreator creator);
    template <class T> void RegisterCreator(ResourceCreator creator)
    {
        RegisterCreator(ResourceTypeName<T>(), std::move(creator));
    }
    // Drops every loaded resource of the type, so the next request loads it anew; the creator stays.
    void UnregisterCreator(const std::string& typeName);

    // The resource of name, loaded through its type's creator on first request. Releasing every handle
    // keeps it loaded: the next request returns the same object. A name that does not resolve, or a
    // type without a creator, is reported and gives a handle that points nowhere.
    template <class T> Resource<T> GetResource(const std::string& name)
    {
        static_assert(std::is_base_of_v<ResourceBase, T>, "resources derive from ResourceBase");
        std::shared_ptr<ResourceBase> loaded =
            GetResourceIntern(ResourceTypeName<T>(), name, [] { return std::make_shared<T>(); });
        return Resource<T>(std::static_pointer_cast<T>(loaded), name);
    }

    // The node of name (a file node when name carries its extension).
    bool GetPathsByName(const std::string& name, ResourceNode*& node);
    ResourceNode& Root() { return m_resources; }

    // Reads object from the file of name with the xml extension when there is one, else from the one
    // with the binary extension, inside the group rootGroup (the empty name in binary files). When
    // hasExistence is given it tells whether existence was recorded into existence.
    void LoadObject(const std::string& name, Serializeable& object, const std::string& rootGroup,
                    const std::string& binaryExtension, const std::string& xmlExtension,
                    bool* hasExistence = nullptr, std::vector<bool>* existence = nullptr);

    // One object from a binary serializer file (the group of the empty name); false when the file could
    // not be read whole (reported).
    bool LoadBinaryFile(const std::string& path, Serializeable& object);

    // One object as an XML file under the group "Map". A save replaces the file whole or not at all.
    void LoadXMLFile(const std::string& path, Serializeable& object);
    bool SaveXMLFile(const std::string& path, Serializeable& object);

    // The user's own files: <local application data>/Tavu/<name>.<extension>. Names are single file
    // names; anything that could leave the folder is reported and nothing is read or written.
    std::filesystem::path UserDataPath(const std::string& name, const std::string& extension);
    bool SaveUserData(const std::string& name, const std::string& extension, Serializeable& object,
                      const std::string& rootGroup);
    bool UserDataExists(const std::string& name);
    void LoadUserData(const std::string& name, const std::string& extension, Serializeable& object,
                      const std::string& rootGroup);

    // Queues the file of name (which needs its extension) for reading ahead.
    void AddPreloadRequest(const std::string& name, float priority);
    PreloadManager& GetPreloadManager() { return m_preloadManager; }

    // Copies the source-root files of the extension to the working root where the working copy is
    // missing or older, then enters the working-root files of the extension into the name tree.
    void AddCopiedExtension(const std::string& extension);
    void AddCopiedExtensions(const std::vector<std::string>& extensions);
    // Copies the source files and enters the working-root files of the derived extension.
    void AddDerivedExtension(const std::string& sourceExtension, const std::string& derivedExtension);
    // Makes the derived file of every source-root file of sourceExtension where it is missing or not
    // newer than its source, then enters the derived files into the name tree. Hot reload runs every
    // conversion again.
    void AddConversion(const std::string& sourceExtension, const std::string& derivedExtension,
                       ResourceConverter converter);

    // Hot reload: runs every conversion again (rebuilding derived files whose source changed), then loads
    // every loaded resource again into its existing object. Copies are not made again.
    void RefreshResources();

    // The working-root files of an extension, in the order they were found or made.
    const std::vector<std::string>& WorkingFiles(const std::string& extension);

private:
    // One root's files by lower-case extension.
    class ExtensionIndex
    {
    public:
        void Add(const std::string& path);
        const std::vector<std::string>& Files(const std::string& extension);

    private:
        std::unordered_map<std::string, std::vector<std::string>> m_files;
        std::unordered_set<std::string> m_known;
    };

    std::shared_ptr<ResourceBase>
    GetResourceIntern(const std::string& typeName, const std::string& name,
                      const std::function<std::shared_ptr<ResourceBase>()>& create);
    void Scan(const std::string& root, ExtensionIndex& index);
    void CopyFile(const std::string& source);
    void IndexWorkingFiles(const std::string& extension);
    // Makes the derived file of source when it is missing or not newer; true when the converter ran.
    bool ConvertExtensionIntern(const std::string& derivedExtension, const std::string& source,
                                const ResourceConverter& converter);
    void RunConversion(const ConversionParameters& conversion);
    bool ReadBinary(const std::string& path, Serializeable& object, bool* hasExistence,
                    std::vector<bool>* existence);
    void ReadXML(const std::filesystem::path& path, Serializeable& object, const std::string& rootGroup,
                 bool* hasExistence, std::vector<bool>* existence);

    ResourceNode m_resources;
    SystemManager* m_systems;
    ExtensionIndex m_sourceFiles;
    ExtensionIndex m_workingFiles;
    PreloadManager m_preloadManager;
    std::shared_ptr<LoadedResources> m_loaded;
    std::unordered_map<std::string, ResourceCreator> m_creators;
    // The resources whose creators are running.
    std::unordered_set<ResourceKey, ResourceKeyHash> m_loading;
    std::string m_sourceRoot;
    std::string m_workingRoot;
    std::vector<ConversionParameters> m_conversions;
};

} // namespace Quarn
