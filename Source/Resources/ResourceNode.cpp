#include "Resources/ResourceNode.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/ResourceNodeOwner.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace Quarn
{

namespace
{

constexpr std::string_view kSeparators = "._";
constexpr int kWorkingRoot = 1;
constexpr int kSourceRoot = 2;

std::string ToLower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// Whether root is the leading part of path, compared element by element.
bool LiesIn(const std::string& path, const std::string& root)
{
    std::filesystem::path rootPath(root);
    if (rootPath.empty())
        return false;
    if (!rootPath.has_filename())
        rootPath = rootPath.parent_path();
    const std::filesystem::path filePath(path);
    return std::mismatch(rootPath.begin(), rootPath.end(), filePath.begin(), filePath.end()).first ==
           rootPath.end();
}
} // namespace

ResourceNode::ResourceNode(ResourceNodeOwner& owner) : m_owner(&owner) {}

void ResourceNode::Add(const std::string& path)
{
    Insert(std::filesystem::path(path).filename().string(), path);
}

void ResourceNode::Insert(std::string_view name, const std::string& path)
{
    if (!name.empty() && kSeparators.find(name.front()) != std::string_view::npos)
        name.remove_prefix(1);
    const auto cut = name.find_first_of(kSeparators);
    const std::string segment = ToLower(name.substr(0, cut));
    const std::string_view rest = cut == std::string_view::npos ? std::string_view{} : name.substr(cut);

    auto found = m_children.find(segment);
    if (found == m_children.end())
    {
        m_children.emplace(segment, MakeChild(rest, path));
        return;
    }
    ResourceNode& child = *found->second;
    if (!child.m_isFile)
    {
        if (!rest.empty())
            child.Insert(rest, path);
        return;
    }
    if (child.m_path == path)
        return;
    const int existingRoot = RootOf(child.m_path);
    const int newRoot = RootOf(path);
    if (existingRoot != 0 && newRoot != 0 && existingRoot != newRoot)
    {
        // A working copy always wins over the source file of the same name.
        if (newRoot == kWorkingRoot)
            found->second = MakeChild(rest, path);
        return;
    }
    QUARN_REPORT("Two files with the same name exist\nFile1: '%s'\nFile2: '%s'\n", child.m_path.c_str(),
                 path.c_str());
}

std::unique_ptr<ResourceNode> ResourceNode::MakeChild(std::string_view rest, const std::string& path)
{
    auto child = std::make_unique<ResourceNode>(*m_owner);
    const std::string fileName = std::filesystem::path(path).filename().string();
    child->m_name = fileName.substr(0, fileName.size() - rest.size());
    if (rest.empty())
    {
        child->m_isFile = true;
        child->m_path = path;
    }
    else
    {
        child->Insert(rest, path);
    }
    return child;
}

int ResourceNode::RootOf(const std::string& path) const
{
    if (LiesIn(path, m_owner->WorkingRoot()))
        return kWorkingRoot;
    if (LiesIn(path, m_owner->SourceRoot()))
        return kSourceRoot;
    return 0;
}

std::shared_ptr<const char> ResourceNode::ReadData(std::size_t& size)
{
    return m_owner->ReadFileData(m_path, size);
}

bool ResourceNode::FindAnnotation(std::string_view name, ResourceNode*& node)
{
    const auto found = m_children.find(ToLower(name));
    node = found == m_children.end() ? nullptr : found->second.get();
    return node != nullptr;
}

bool ResourceNode::Filter(std::string_view name, ResourceNode*& node)
{
    node = this;
    for (;;)
    {
        const auto cut = name.find_first_of(kSeparators);
        if (!node->FindAnnotation(name.substr(0, cut), node))
            return false;
        if (cut == std::string_view::npos)
            return true;
        name.remove_prefix(cut + 1);
    }
}

void ResourceNode::ForEachWithExtension(std::string_view extension,
                                        const std::function<void(const std::string&)>& function)
{
    // The paths are gathered first, so a function that adds files cannot disturb the walk.
    std::vector<std::string> paths;
    CollectWithExtension(extension, paths);
    for (const auto& path : paths)
        function(path);
}

void ResourceNode::CollectWithExtension(std::string_view extension, std::vector<std::string>& paths)
{
    ResourceNode* found = nullptr;
    if (Filter(extension, found) && found->m_isFile)
    {
        paths.push_back(found->m_path);
        return;
    }
    // A node of that name that is no file (Bin_Crate.xml makes one for "bin") hides nothing.
    for (auto& child : m_children)
        child.second->CollectWithExtension(extension, paths);
}

} // namespace Quarn
