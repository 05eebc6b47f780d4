#pragma once

#include "Resources/ResourceBase.h"

#include <cstdint>
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

// A texture loaded from a ".dds" file of the resource tree: the name's own file, else that of the name
// with "_t", else with "_a".
class Texture : public ResourceBase
{
public:
    // Loads the file onto the device, in place of an image loaded before; a missing or bad file is
    // reported and leaves the texture without an image.
    static void Load(ResourceNode& node, Texture& texture, platform::gfx::Device* device);
    // Null until an image is loaded.
    const std::shared_ptr<platform::gfx::Texture>& GetTexture() const { return m_texture; }
    std::uint16_t GetId() const { return m_id; }

private:
    std::uint16_t m_id = NextResourceId();
    std::shared_ptr<platform::gfx::Texture> m_texture;
};

// The block format a source image is compressed to, by its file name: "_n" anywhere DXT1, else "_a"
// DXT3, else "_t" DXT5, else DXT1.
const char* BlockFormatFor(const std::string& source);
// The conversion of ".png" and ".jpg" sources into ".dds" files through ./tools/texconv.exe.
void DDSCompiler(const std::string& source, const std::string& target);

} // namespace Quarn
