#include "tools/texconv/TextureConverter.h"
#include "platform/gfx/DdsFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <squish.h>
#include <stb/stb_image_write.h>

#include <cstdlib>
#include <vector>

namespace Quarn::tools
{
namespace
{

namespace gfx = platform::gfx;

// A 16 x 8 image: a colour ramp, opaque on the left half and fading out to transparent on the right.
std::vector<std::uint8_t> Picture()
{
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            for (const int value : {x * 16, y * 32, 128, x < 8 ? 255 : 255 - (x - 8) * 32})
                rgba.push_back(static_cast<std::uint8_t>(value));
    return rgba;
}

// A PNG with an alpha edge becomes DXT5 with every level, and its pixels decode to within the error
// block compression allows.
TEST(TextureConverterTest, APngBecomesADxtFileWithItsLevels)
{
    test::TempDir dir;
    const std::vector<std::uint8_t> picture = Picture();
    ASSERT_NE(stbi_write_png((dir / "Ship_t.png").string().c_str(), 16, 8, 4, picture.data(), 16 * 4), 0);
    std::string error;
    ASSERT_TRUE(ConvertTexture(dir / "Ship_t.png", dir / "out", gfx::Format::Dxt5, error)) << error;

    const std::string file = test::TempDir::Read(dir / "out" / "Ship_t.dds");
    gfx::DdsImage image;
    ASSERT_TRUE(gfx::ReadDds({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}, image, error))
        << error;
    EXPECT_EQ(image.format, gfx::Format::Dxt5);
    EXPECT_EQ(image.width, 16u);
    EXPECT_EQ(image.height, 8u);
    EXPECT_EQ(image.levels.size(), 5u);
    std::vector<std::uint8_t> decoded(picture.size());
    squish::DecompressImage(decoded.data(), 16, 8, image.levels[0].data(), squish::kDxt5);
    int worst = 0;
    for (std::size_t i = 0; i < picture.size(); ++i)
        worst = std::max(worst, std::abs(int(decoded[i]) - int(picture[i])));
    // A block holds colours on one line between two 5:6:5 ends: a ramp in two directions is off by up
    // to about a tenth of the range.
    EXPECT_LE(worst, 32);
    // Alpha keeps its edge: opaque at the left, nearly clear at the right.
    EXPECT_EQ(decoded[3], 255);
    EXPECT_LE(decoded[15 * 4 + 3], 40);
}

TEST(TextureConverterTest, AnImageThatDoesNotDecodeLeavesNoFile)
{
    test::TempDir dir;
    dir.Write("Broken.png", "\x89PNG\r\n\x1a\n but then nothing of an image");
    std::string error;
    EXPECT_FALSE(ConvertTexture(dir / "Broken.png", dir / ".", gfx::Format::Dxt1, error));
    EXPECT_NE(error.find("cannot decode"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir / "Broken.dds"));
    EXPECT_FALSE(ConvertTexture(dir / "Missing.png", dir / ".", gfx::Format::Dxt1, error));
    EXPECT_FALSE(ConvertTexture(dir / "Broken.png", dir / ".", gfx::Format::A8R8G8B8, error));
}

} // namespace
} // namespace Quarn::tools
