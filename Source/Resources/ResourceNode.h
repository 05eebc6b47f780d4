#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Quarn
{

class ResourceNodeOwner;

// One node of the resource name tree. File names are split at "_" and "." into lower-case segments,
// one level per segment, the extension last; a file is a leaf. Player_Ship finds .../Player_Ship.xml
// through the nodes "player", "ship" and the file node "xml".
class ResourceNode
{
public:
    explicit ResourceNode(ResourceNodeOwner& owner);
    ResourceNode(const ResourceNode&) = delete;
    ResourceNode& operator=(const ResourceNode&) = delete;

    // Enters a file by its file name (the last element of path).
    void Add(const std::string& path);
    void Insert(std::string_view name, const std::string& path);

    // The node reached by the segments of name; false (and a null node) when a segment is missing.
    bool Filter(std::string_view name, ResourceNode*& node);
    // The direct child under the lower-cased name taken as one segment.
    bool FindAnnotation(std::string_view name, ResourceNode*& node);

    // Calls function with the path of every file of the extension below this node. A name that has a
    // file of the extension hides the longer names that continue it (Ship.xml hides Ship_Red.xml).
    void ForEachWithExtension(std::string_view extension,
                              const std::function<void(const std::string&)>& function);

    bool IsFile() const { return m_isFile; }
    const std::string& Path() const { return m_path; }
    // The name the node is found by, as first spelt: a file's whole file name, else the file name up
    // to this node's segment ("Player_Ship" for the node of "ship" reached from Player_Ship.xml).
    const std::string& Name() const { return m_name; }
    // The whole content of this file node, through the owner's file reading (a preloaded file is
    // ready at once).
    std::shared_ptr<const char> ReadData(std::size_t& size);

private:
    std::unique_ptr<ResourceNode> MakeChild(std::string_view rest, const std::string& path);
    // Which root a path lies in: 1 the working root, 2 the source root, 0 neither.
    int RootOf(const std::string& path) const;
    void CollectWithExtension(std::string_view extension, std::vector<std::string>& paths);

    std::unordered_map<std::string, std::unique_ptr<ResourceNode>> m_children;
    bool m_isFile = false;
    std::string m_path;
    std::string m_name;
    ResourceNodeOwner* m_owner;
};

} // namespace Quarn
