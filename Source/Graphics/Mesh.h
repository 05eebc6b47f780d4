#pragma once

#include "Resources/ResourceBase.h"

namespace Quarn
{

class ResourceNode;

namespace platform::gfx
{
class Device;
}

// An indexed triangle mesh read from a ".tmb" file; its reader comes with the mesh layer and until
// then a mesh holds nothing.
class Mesh : public ResourceBase
{
public:
    static void Load(ResourceNode& node, Mesh& mesh, platform::gfx::Device* device);
};

} // namespace Quarn
