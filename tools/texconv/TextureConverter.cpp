#include "tools/texconv/TextureConverter.h"

#include "platform/gfx/DdsFile.h"
#include "platform/gfx/ImageFile.h"
#include "platform/gfx/Resources.h"
#include "platform/io/AtomicWrite.h"

#include <squish.h>

#include <algorithm>
#include <vector>

namespace Quarn::tools
{

namespace gfx = platform::gfx;

namespace
{

struct Image
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// The next level down: each pixel the mean of the (up to) 2 x 2 pixels it covers.
Image HalfSize(const Image& image)
{
    Image half{std::max(1, image.width / 2), std::max(1, image.height / 2), {}};
    half.rgba.resize(static_cast<std::size_t>(half.width) * static_cast<std::size_t>(half.height) * 4);
    for (int y = 0; y < half.height; ++y)
        for (int x = 0; x < half.width; ++x)
            for (int channel = 0; channel < 4; ++channel)
            {
                int sum = 0;
                int count = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                    {
                        const int sx = std::min(x * 2 + dx, image.width - 1);
                        const int sy = std::min(y * 2 + dy, image.height - 1);
                        sum +=
                            image.rgba[(static_cast<std::size_t>(sy) * static_cast<std::size_t>(image.width) +
                                        static_cast<std::size_t>(sx)) *
                                           4 +
                                       static_cast<std::size_t>(channel)];
                        ++count;
                    }
                half.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(half.width) +
                           static_cast<std::size_t>(x)) *
                              4 +
                          static_cast<std::size_t>(channel)] =
                    static_cast<std::uint8_t>((sum + count / 2) / count);
            }
    return half;
}

std::vector<std::uint8_t> Compressed(const Image& image, int flags)
{
    std::vector<std::uint8_t> blocks(
        static_cast<std::size_t>(squish::GetStorageRequirements(image.width, image.height, flags)));
    squish::CompressImage(image.rgba.data(), image.width, image.height, blocks.data(), flags);
    return blocks;
}

} // namespace

bool ConvertTexture(const std::filesystem::path& source, const std::filesystem::path& folder,
                    gfx::Format format, std::string& error)
{
    const int flags = format == gfx::Format::Dxt1   ? squish::kDxt1
                      : format == gfx::Format::Dxt3 ? squish::kDxt3
                      : format == gfx::Format::Dxt5 ? squish::kDxt5
                                                    : 0;
    if (flags == 0)
    {
        error = "the format must be DXT1, DXT3 or DXT5";
        return false;
    }
    gfx::DecodedImage decoded;
    if (!gfx::DecodeImageFile(source, decoded, error))
        return false;
    Image image{static_cast<int>(decoded.width), static_cast<int>(decoded.height), std::move(decoded.rgba)};

    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    std::vector<std::vector<std::uint8_t>> levels;
    levels.push_back(Compressed(image, flags));
    while (image.width > 1 || image.height > 1)
    {
        image = HalfSize(image);
        levels.push_back(Compressed(image, flags));
    }
    const std::vector<std::uint8_t> file = gfx::WriteDds(format, width, height, levels);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::filesystem::path target = folder / source.stem().concat(".dds");
    return platform::WriteFileAtomically(target.string(), std::string(file.begin(), file.end()), error);
}

} // namespace Quarn::tools
