#include "Graphics/Texture.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Graphics/Graphics.h"
#include "Resources/ResourceManager.h"
#include "platform/gfx/DdsFile.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace Quarn
{
namespace
{

namespace gfx = platform::gfx;
using Bytes = std::vector<std::uint8_t>;

// A .dds of the format with a full chain of levels, each level's bytes all equal to its number.
Bytes Dds(gfx::Format format, std::uint32_t width, std::uint32_t height, std::uint32_t levels)
{
    std::vector<Bytes> data;
    for (std::uint32_t level = 0; level < levels; ++level)
    {
        const std::uint32_t w = std::max(1u, width >> level);
        const std::uint32_t h = std::max(1u, height >> level);
        data.emplace_back(std::size_t{gfx::RowPitch(format, w)} * gfx::RowCount(format, h),
                          static_cast<std::uint8_t>(level));
    }
    return gfx::WriteDds(format, width, height, data);
}

Bytes With32(Bytes bytes, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

TEST(DdsFileTest, GoodFilesReadAndBadOnesAreRefusedBeforeAnyRead)
{
    const struct
    {
        gfx::Format format;
        std::uint32_t width, height, levels;
        std::vector<std::size_t> sizes;
    } good[] = {
        {gfx::Format::A8R8G8B8, 4, 2, 3, {32, 8, 4}}, {gfx::Format::X8R8G8B8, 3, 3, 1, {36}},
        {gfx::Format::Dxt1, 8, 8, 4, {32, 8, 8, 8}},  {gfx::Format::Dxt3, 4, 4, 1, {16}},
        {gfx::Format::Dxt5, 16, 4, 2, {64, 32}},
    };
    for (const auto& c : good)
    {
        const Bytes file = Dds(c.format, c.width, c.height, c.levels);
        gfx::DdsImage image;
        std::string error;
        ASSERT_TRUE(gfx::ReadDds(file, image, error)) << gfx::FormatName(c.format) << ": " << error;
        EXPECT_EQ(image.format, c.format);
        EXPECT_EQ(image.width, c.width);
        ASSERT_EQ(image.levels.size(), c.sizes.size());
        for (std::size_t level = 0; level < c.sizes.size(); ++level)
        {
            EXPECT_EQ(image.levels[level].size(), c.sizes[level]);
            EXPECT_EQ(image.levels[level].front(), level);
        }
    }

    const Bytes dxt = Dds(gfx::Format::Dxt5, 8, 8, 2);
    const struct
    {
        const char* what;
        Bytes file;
        const char* error;
    } bad[] = {
        {"empty", {}, "header is cut short"},
        {"cut header", Bytes(dxt.begin(), dxt.begin() + 100), "header is cut short"},
        {"not dds", With32(dxt, 0, 0x12345678), "not a DDS file"},
        {"last level cut", Bytes(dxt.begin(), dxt.end() - 1),
         "the levels need 208 bytes and the file has 207"},
        {"huge size", With32(dxt, 16, 0x40000000), "is not one a texture has"},
        {"zero size", With32(dxt, 12, 0), "is not one a texture has"},
        {"size past the data", With32(With32(dxt, 16, 4096), 12, 4096), "the levels need"},
        {"too many levels", With32(dxt, 28, 5), "claims 5 levels"},
        {"unknown code", With32(dxt, 84, 0x31495441), "pixel format is not"},
        {"16-bit colour", With32(With32(Dds(gfx::Format::A8R8G8B8, 2, 2, 1), 80, 0x40), 88, 16),
         "pixel format"},
    };
    for (const auto& c : bad)
    {
        gfx::DdsImage image;
        std::string error;
        EXPECT_FALSE(gfx::ReadDds(c.file, image, error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(image.levels.empty()) << c.what;
    }
}

// Textures load on the Graphics system's device from the name's own .dds, else "_t", else "_a".
class TextureTest : public test::RecordingGameTest
{
protected:
    TextureTest()
    {
        m_folder.WriteSource("Settings/Graphics.xml", "<?xml version=\"1.0\" ?>\n<root><Graphics/></root>\n");
        test::RecordingGraphics::WriteModelEffect(m_folder);
    }

    void WriteDds(const std::string& name, std::uint32_t width)
    {
        const Bytes file = Dds(gfx::Format::A8R8G8B8, width, 2, 1);
        m_folder.WriteWorking("Textures/" + name + ".dds", std::string(file.begin(), file.end()));
    }

    std::uint32_t WidthOf(const std::string& name)
    {
        const Resource<Texture> texture = m_systems->GetResourceManager().GetResource<Texture>(name);
        if (!texture || !texture->GetTexture())
            return 0;
        gfx::SurfaceDesc desc;
        texture->GetTexture()->GetLevelDesc(0, desc);
        return desc.width;
    }
};

TEST_F(TextureTest, TheOwnFileComesFirstThenTheTFileThenTheAFile)
{
    WriteDds("Own", 1);
    WriteDds("Own_t", 2);
    WriteDds("Both_t", 3);
    WriteDds("Both_a", 4);
    WriteDds("Alpha_a", 5);
    m_folder.WriteWorking("Textures/Odd_t.txt", "not an image");
    StartGame();
    m_systems->GetResourceManager().AddCopiedExtension("txt");
    EXPECT_EQ(WidthOf("Own"), 1u);
    EXPECT_EQ(WidthOf("Both"), 3u);
    EXPECT_EQ(WidthOf("Alpha"), 5u);
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];
    EXPECT_EQ(WidthOf("Odd"), 0u);
    EXPECT_TRUE(m_errors.Any("Found a file named 'Odd_t', but it was not dds"));

    // A reload makes the image again from the file as it is now.
    WriteDds("Own", 8);
    m_systems->GetResourceManager().RefreshResources();
    EXPECT_EQ(WidthOf("Own"), 8u);
}

TEST_F(TextureTest, ABrokenFileIsReportedWithItsPathAndLeavesNoImage)
{
    m_folder.WriteWorking("Textures/Broken.dds", "DDS and little else");
    StartGame();
    EXPECT_EQ(WidthOf("Broken"), 0u);
    EXPECT_TRUE(m_errors.Any("Failed to create a texture from file \"")) << m_errors.Texts()[0];
    EXPECT_TRUE(m_errors.Any("Broken.dds\"! not a DDS file"));
}

TEST(DDSCompilerTest, TheFileNameChoosesTheBlockFormat)
{
    const struct
    {
        const char* source;
        const char* format;
    } cases[] = {
        {"../Resources/Ship.png", "DXT1"},      {"../Resources/Ship_a.png", "DXT3"},
        {"../Resources/Ship_t.jpg", "DXT5"},    {"../Resources/Glow_n_a.png", "DXT1"},
        {"../Resources/Sky_tiles.png", "DXT5"}, {"../Resources/my_a_folder/Ship.png", "DXT1"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(BlockFormatFor(c.source), c.format) << c.source;
}

// Through the resource conversion: a PNG source becomes the texture of its name; a source that does not
// decode is reported with the tool's words and makes no texture.
TEST_F(TextureTest, PngSourcesAreConvertedOnTheFirstRun)
{
    std::filesystem::create_directory_symlink(std::filesystem::path(QUARN_BINARY_DIR) / "run" / "tools",
                                              m_folder.Working().parent_path() / "tools");
    const std::string png = test::TempDir::Read(std::filesystem::path(QUARN_FIXTURES) / "Pod.png");
    m_folder.WriteSource("Textures/Pod.png", png);
    m_folder.WriteSource("Textures/Broken.png", "not a picture");
    StartGame();
    EXPECT_EQ(WidthOf("Pod"), 4u) << (m_errors.Count() ? m_errors.Texts()[0] : "");
    EXPECT_TRUE(m_errors.Any("cannot decode")) << (m_errors.Count() ? m_errors.Texts()[0] : "");
    EXPECT_FALSE(std::filesystem::exists(m_folder.Working() / "Textures" / "Broken.dds"));
}

} // namespace
} // namespace Quarn
