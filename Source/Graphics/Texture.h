#pragma once

#include "Resources/ResourceBase.h"

#include <memory>
#include <string>

namespace Quarn
{

class ResourceNode;

namespace platform::gfx
{
class Device;
class Texture;
} // namespace platform::gfx

// A texture loaded from a ".dds" file of the resource tree. The reader of the file format comes with
// the texture layer; until then a texture holds no image.
class Texture : public ResourceBase
{
public:
    static void Load(ResourceNode& node, Texture& texture, platform::gfx::Device* device);
    // Null until an image is loaded.
    const std::shared_ptr<platform::gfx::Texture>& GetTexture() const { return m_texture; }

private:
    std::shared_ptr<platform::gfx::Texture> m_texture;
};

// The conversion of ".png" and ".jpg" sources into ".dds" files; the converter comes with the texture
// layer and until then makes nothing.
void DDSCompiler(const std::string& source, const std::string& target);

} // namespace Quarn
