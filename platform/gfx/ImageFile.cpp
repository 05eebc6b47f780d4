#include "platform/gfx/ImageFile.h"

#include <stb/stb_image.h>

#include <fstream>
#include <iterator>
#include <limits>
#include <memory>

namespace Quarn::platform::gfx
{

bool DecodeImage(std::span<const std::uint8_t> bytes, DecodedImage& image, std::string& error)
{
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    {
        error = "the file is too large";
        return false;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels, 4),
        stbi_image_free);
    if (!pixels)
    {
        error = stbi_failure_reason();
        return false;
    }
    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    image.rgba.assign(pixels.get(), pixels.get() + std::size_t{image.width} * image.height * 4);
    return true;
}

bool DecodeImageFile(const std::filesystem::path& path, DecodedImage& image, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    if (!in && !in.eof())
    {
        error = "cannot read " + path.string();
        return false;
    }
    if (!DecodeImage(bytes, image, error))
    {
        error = "cannot decode " + path.string() + ": " + error;
        return false;
    }
    return true;
}

} // namespace Quarn::platform::gfx
