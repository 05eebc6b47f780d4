#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace Quarn
{

// What the nodes of a resource name tree ask of the manager that owns the tree.
class ResourceNodeOwner
{
public:
    // The absolute source root and working root.
    virtual const std::string& SourceRoot() const = 0;
    virtual const std::string& WorkingRoot() const = 0;
    // The bytes of a file and their count; null with size 0 when it cannot be read.
    virtual std::shared_ptr<const char> ReadFileData(const std::string& path, std::size_t& size) = 0;

protected:
    ~ResourceNodeOwner() = default;
};

} // namespace Quarn
