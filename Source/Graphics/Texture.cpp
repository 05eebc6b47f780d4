#include "Graphics/Texture.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Graphics/GraphicsError.h"
#include "Resources/ConvertViaCmdLine.h"
#include "Resources/ResourceNode.h"
#include "platform/gfx/DdsFile.h"
#include "platform/gfx/Device.h"

#include <cstring>
#include <filesystem>

namespace Quarn
{

namespace gfx = platform::gfx;

namespace
{

// The .dds file of the node, or of its "_t" or "_a" name; null (reported) when there is none.
ResourceNode* FindTextureFile(ResourceNode& node)
{
    ResourceNode* file = nullptr;
    if (node.Filter("dds", file) && file->IsFile())
        return file;
    ResourceNode* suffixed = nullptr;
    const char* suffix = node.FindAnnotation("t", suffixed)   ? "t"
                         : node.FindAnnotation("a", suffixed) ? "a"
                                                              : nullptr;
    if (!suffix)
    {
        QUARN_REPORT("Failed to find texture file with name \"%s.dds\"", node.Name().c_str());
        return nullptr;
    }
    if (!suffixed->Filter("dds", file) || !file->IsFile())
    {
        QUARN_REPORT("Found a file named '%s_%s', but it was not dds", node.Name().c_str(), suffix);
        return nullptr;
    }
    return file;
}

// Copies the image's levels into the texture, row by row, as the locked pitch lays them out.
gfx::Result Upload(const gfx::DdsImage& image, gfx::Texture& texture)
{
    for (std::uint32_t level = 0; level < image.levels.size(); ++level)
    {
        const std::uint32_t width = std::max(1u, image.width >> level);
        const std::uint32_t height = std::max(1u, image.height >> level);
        const std::uint32_t pitch = gfx::RowPitch(image.format, width);
        gfx::LockedRect locked;
        const gfx::Result result = texture.LockRect(level, locked, nullptr, 0);
        if (result.Failed())
            return result;
        for (std::uint32_t row = 0; row < gfx::RowCount(image.format, height); ++row)
            std::memcpy(static_cast<std::uint8_t*>(locked.bits) +
                            std::size_t{row} * static_cast<std::size_t>(locked.pitch),
                        image.levels[level].data() + std::size_t{row} * pitch, pitch);
        texture.UnlockRect(level);
    }
    return gfx::Result::Code::Ok;
}

} // namespace

void Texture::Load(ResourceNode& node, Texture& texture, gfx::Device* device)
{
    ResourceNode* file = FindTextureFile(node);
    if (!file)
        return;
    texture.m_texture.reset();
    OutputHandler& output = OutputHandler::Get();
    const std::string& path = file->Path();
    output.Log("Creating texture: %s.", path.c_str());
    if (!device)
        return;
    std::size_t size = 0;
    const std::shared_ptr<const char> bytes = file->ReadData(size);
    gfx::DdsImage image;
    std::string error = "the file cannot be read";
    if (!bytes || !gfx::ReadDds({reinterpret_cast<const std::uint8_t*>(bytes.get()), size}, image, error))
    {
        QUARN_GRAPHICS_ERROR(gfx::Result::Code::InvalidCall,
                             "Failed to create a texture from file \"%s\"! %s", path.c_str(), error.c_str());
        return;
    }
    std::shared_ptr<gfx::Texture> made;
    gfx::Result result =
        device->CreateTexture(image.width, image.height, static_cast<std::uint32_t>(image.levels.size()), 0,
                              image.format, gfx::Pool::Managed, made);
    if (result.Succeeded())
        result = Upload(image, *made);
    if (result.Failed())
    {
        QUARN_GRAPHICS_ERROR(result, "Failed to create a texture from file \"%s\"!", path.c_str());
        return;
    }
    texture.m_texture = std::move(made);
    output.Log("Done Creating texture.");
}

const char* BlockFormatFor(const std::string& source)
{
    const std::string name = std::filesystem::path(source).stem().string();
    if (name.find("_n") != std::string::npos)
        return "DXT1";
    if (name.find("_a") != std::string::npos)
        return "DXT3";
    if (name.find("_t") != std::string::npos)
        return "DXT5";
    return "DXT1";
}

void DDSCompiler(const std::string& source, const std::string& target)
{
    const std::string command =
        std::string("\"./tools/texconv.exe\" -f ") + BlockFormatFor(source) + " -nologo -o \"%s\" \"%s\"";
    // The tool is given the folder; it names the file after the source.
    const ConvertViaCmdLine converter(ConvertViaCmdLine::TargetThenSource, command.c_str());
    const std::string folder = std::filesystem::path(target).parent_path().string();
    OutputHandler::Get().Log("Texture file \"%s\" is being compiled with command line:\n%s", source.c_str(),
                             converter.CommandLine(source, folder).c_str());
    converter(source, folder);
}

} // namespace Quarn
