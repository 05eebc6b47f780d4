#include "Graphics/TextureAtlas.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Graphics/Graphics.h"
#include "Resources/ResourceManager.h"
#include "support/CapturedErrors.h"
#include "support/RecordingGraphics.h"
#include "support/RunFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace Quarn
{
namespace
{

using Rectangle = TextureAtlas::Rectangle;

void Put32(std::string& bytes, std::int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i)));
}

// A sprite sheet: the count, the texel rectangles, then the zero-terminated names.
std::string SpriteSheet(const std::vector<std::pair<std::array<std::int32_t, 4>, std::string>>& frames)
{
    std::string bytes;
    Put32(bytes, static_cast<std::int32_t>(frames.size()));
    for (const auto& [rectangle, name] : frames)
        for (const std::int32_t value : rectangle)
            Put32(bytes, value);
    for (const auto& [rectangle, name] : frames)
        bytes += name + '\0';
    return bytes;
}

TEST(TextureAtlasTest, ASpriteSheetNumbersItsFramesAndWrapsAnimation)
{
    TextureAtlas atlas;
    std::string fault;
    ASSERT_TRUE(atlas.ReadSpriteSheet(SpriteSheet({{{0, 0, 32, 16}, "run 0"},
                                                   {{32, 0, 32, 16}, "run 1"},
                                                   {{64, 16, 32, 16}, "run 2"},
                                                   {{0, 32, 64, 32}, "idle"}}),
                                      fault))
        << fault;
    EXPECT_EQ(atlas.FrameCount("run"), 3u);
    EXPECT_EQ(atlas.FrameCount("idle"), 1u);
    atlas.SetTextureSize(128.0f, 64.0f);
    EXPECT_EQ(atlas.GetFrame("run", 4), (Rectangle{0.25f, 0.0f, 0.25f, 0.25f}));
    EXPECT_EQ(atlas.GetFrame("run", 2), (Rectangle{0.5f, 0.25f, 0.25f, 0.25f}));
    // The sizes divide once only.
    atlas.SetTextureSize(2.0f, 2.0f);
    EXPECT_EQ(atlas.GetFrame("idle", 7), (Rectangle{0.0f, 0.5f, 0.5f, 0.5f}));
}

TEST(TextureAtlasTest, BadSpriteSheetsAreRefusedWholeBeforeAnyRead)
{
    std::string longName(TextureAtlas::kMaxNameLength + 1, 'x');
    std::string countOnly;
    Put32(countOnly, 2);
    std::string unterminated = SpriteSheet({{{0, 0, 1, 1}, "a 0"}});
    unterminated.pop_back();
    std::string negative;
    Put32(negative, -1);
    const struct
    {
        const char* what;
        std::string bytes;
        const char* fault;
    } cases[] = {
        {"empty", "", "no frame count"},
        {"negative count", negative, "frame count runs past"},
        {"count past the end", countOnly, "frame count runs past"},
        {"huge count", std::string("\xff\xff\xff\x7f", 4), "frame count runs past"},
        {"unterminated name", unterminated, "frame name runs past"},
        {"over-long name", SpriteSheet({{{0, 0, 1, 1}, "ok 0"}, {{0, 0, 1, 1}, longName + " 1"}}),
         "longer than 1023"},
    };
    for (const auto& c : cases)
    {
        TextureAtlas atlas;
        std::string fault;
        EXPECT_FALSE(atlas.ReadSpriteSheet(c.bytes, fault)) << c.what;
        EXPECT_NE(fault.find(c.fault), std::string::npos) << c.what << ": " << fault;
        EXPECT_EQ(atlas.FrameCount("ok"), 0u) << c.what;
    }
    // A name of the longest length is taken.
    TextureAtlas atlas;
    std::string fault;
    EXPECT_TRUE(
        atlas.ReadSpriteSheet(SpriteSheet({{{0, 0, 1, 1}, longName.substr(1) + " 4294967295"}}), fault));
    EXPECT_EQ(atlas.FrameCount(longName.substr(1)), 4294967296u);
}

TEST(TextureAtlasTest, AnAtlasDescriptionGivesRectanglesInTextureUnits)
{
    TextureAtlas atlas;
    std::string fault;
    EXPECT_TRUE(atlas.ReadAtlasDescription("# made by hand\n"
                                           "\n"
                                           "walk 3.png\tsheet.dds, 0, 2D, 0.5, 0.25, 0, 0.125, 0.25\r\n"
                                           "walk 0.png\tsheet.dds, 0, 2D, 0, 0, 0, 0.125, 0.25\n"
                                           "flag.tga\tsheet.dds, 0, 2D, 0.75, 0.5, 0.000000, 0.25, 0.5",
                                           fault))
        << fault;
    atlas.SetTextureSize(256.0f, 256.0f);
    EXPECT_EQ(atlas.GetFrame("walk", 3), (Rectangle{0.5f, 0.25f, 0.125f, 0.25f}));
    EXPECT_EQ(atlas.FrameCount("walk"), 4u);
    // A frame number the file does not hold is an empty rectangle.
    EXPECT_EQ(atlas.GetFrame("walk", 1), (Rectangle{0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(atlas.GetFrame("flag", 0), (Rectangle{0.75f, 0.5f, 0.25f, 0.5f}));

    TextureAtlas shortLines;
    EXPECT_FALSE(
        shortLines.ReadAtlasDescription("a.png\tsheet.dds, 0, 2D, 0.5\nb.png\tx,0,2D,0,0,0,1,1\n", fault));
    EXPECT_NE(fault.find("fewer than the eight fields"), std::string::npos);
    EXPECT_EQ(shortLines.FrameCount("a"), 0u);
    EXPECT_EQ(shortLines.FrameCount("b"), 1u);
}

class TextureAtlasFileTest : public test::RecordingGameTest
{
protected:
    TextureAtlasFileTest()
    {
        m_folder.WriteSource("Settings/Graphics.xml", "<?xml version=\"1.0\" ?>\n<root><Graphics/></root>\n");
        test::RecordingGraphics::WriteModelEffect(m_folder);
    }
};

TEST_F(TextureAtlasFileTest, TheSheetComesFirstAMissingAtlasShowsTheWholeTextureAndABadOneIsReported)
{
    m_folder.WriteWorking("Atlases/Both.txa", SpriteSheet({{{0, 0, 8, 8}, "sheet 0"}}));
    m_folder.WriteWorking("Atlases/Both.tai", "b.png\tx, 0, 2D, 0, 0, 0, 1, 1\n");
    m_folder.WriteWorking("Atlases/Broken.txa", std::string("\x05\x00\x00\x00", 4));
    m_folder.WriteWorking("Atlases/Plain.txt", "no atlas here");
    StartGame();
    ResourceManager& resources = m_systems->GetResourceManager();
    resources.AddCopiedExtension("txt");

    const Resource<TextureAtlas> both = resources.GetResource<TextureAtlas>("Both");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->FrameCount("sheet"), 1u);
    EXPECT_EQ(both->FrameCount("b"), 0u);

    const Resource<TextureAtlas> plain = resources.GetResource<TextureAtlas>("Plain");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->IsLoaded());
    EXPECT_EQ(plain->GetFrame("anything", 9), TextureAtlas::kWholeTexture);
    EXPECT_EQ(m_errors.Count(), 0u) << m_errors.Texts()[0];

    const Resource<TextureAtlas> broken = resources.GetResource<TextureAtlas>("Broken");
    EXPECT_TRUE(
        m_errors.Any("Atlases/Broken.txa\" is damaged: its frame count runs past the end of the file"));
    m_errors.Clear();
    // A sequence that does not exist is reported and shows the whole texture.
    EXPECT_EQ(broken->GetFrame("walk", 0), TextureAtlas::kWholeTexture);
    EXPECT_TRUE(m_errors.Any("No such Frame walk"));
}

} // namespace
} // namespace Quarn
