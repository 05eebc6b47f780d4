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

Result CreateImageTexture(Device& device, const DecodedImage& image, std::shared_ptr<Texture>& texture)
{
    std::shared_ptr<Texture> made;
    Result result =
        device.CreateTexture(image.width, image.height, 1, 0, Format::A8R8G8B8, Pool::Managed, made);
    LockedRect locked;
    if (result.Succeeded())
        result = made->LockRect(0, locked, nullptr, 0);
    if (result.Failed())
        return result;
    // The texture's bytes run blue, green, red, alpha.
    for (std::uint32_t y = 0; y < image.height; ++y)
    {
        auto* row =
            static_cast<std::uint8_t*>(locked.bits) + std::size_t{y} * static_cast<std::size_t>(locked.pitch);
        const std::uint8_t* source = image.rgba.data() + std::size_t{y} * image.width * 4;
        for (std::uint32_t x = 0; x < image.width; ++x, row += 4, source += 4)
        {
            row[0] = source[2];
            row[1] = source[1];
            row[2] = source[0];
            row[3] = source[3];
        }
    }
    made->UnlockRect(0);
    texture = std::move(made);
    return Result::Code::Ok;
}

} // namespace Quarn::platform::gfx
