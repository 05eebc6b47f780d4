#pragma once

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

protected:
    ~ResourceNodeOwner() = default;
};

} // namespace Quarn
