#pragma once

namespace Quarn
{

// Base of every resource the ResourceManager loads and hands out by name.
class ResourceBase
{
public:
    virtual ~ResourceBase() = default;
};

} // namespace Quarn
