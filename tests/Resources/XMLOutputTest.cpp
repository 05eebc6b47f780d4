#include "Resources/XMLOutput.h"
#include "SerializerTestObjects.h"
#include "support/CapturedErrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace Quarn
{
namespace
{

class XMLOutputTest : public testing::Test
{
protected:
    std::string Saved(XMLOutput& out)
    {
        EXPECT_TRUE(out.Save());
        return test::TempDir::Read(out.Path());
    }

    test::TempDir m_dir;
    test::CapturedErrors m_errors;
};

TEST_F(XMLOutputTest, WritesADeclarationARootAndOneElementPerGroupWithTheValueAsText)
{
    XMLOutput out(m_dir / "settings.xml");
    float volume = 0.5f;
    bool muted = true;
    SerializeNamed(out, volume, "Volume");
    SerializeNamed(out, muted, "Muted");
    EXPECT_EQ(Saved(out), "<?xml version=\"1.0\" ?>\n"
                          "<root>\n"
                          "    <Volume>0.5</Volume>\n"
                          "    <Muted>1</Muted>\n"
                          "</root>\n");
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(XMLOutputTest, GroupsWithNothingWrittenInsideAreLeftOutButAnEmptyStringCounts)
{
    XMLOutput out(m_dir / "pruned.xml");
    std::string empty;
    test::InGroup(out, "Empty", [] {});
    test::InGroup(out, "Outer", [&] { test::InGroup(out, "Inner", [] {}); });
    test::InGroup(out, "Kept", [&] { test::InGroup(out, "Text", [&] { out.Serialize(empty); }); });
    EXPECT_EQ(Saved(out), "<?xml version=\"1.0\" ?>\n"
                          "<root>\n"
                          "    <Kept>\n"
                          "        <Text></Text>\n"
                          "    </Kept>\n"
                          "</root>\n");
}

TEST_F(XMLOutputTest, ReplayedBitsAnswerExistsInOrderThenTrue)
{
    XMLOutput out(m_dir / "replay.xml");
    EXPECT_FALSE(out.HasExistence());
    std::vector<bool> bits = {false, true};
    out.InjectExistence(bits);
    bits.clear(); // the writer keeps its own copy
    EXPECT_TRUE(out.HasExistence());

    std::int32_t a = 1, b = 2, c = 3;
    EXPECT_FALSE(SerializeNamed(out, a, "A"));
    EXPECT_TRUE(SerializeNamed(out, b, "B"));
    EXPECT_FALSE(out.HasExistence());
    EXPECT_TRUE(SerializeNamed(out, c, "C"));
    EXPECT_EQ(*out.GetExistence(), (std::vector<bool>{false, true}));
    EXPECT_EQ(Saved(out), "<?xml version=\"1.0\" ?>\n"
                          "<root>\n"
                          "    <B>2</B>\n"
                          "    <C>3</C>\n"
                          "</root>\n");
}

TEST_F(XMLOutputTest, AComponentWithoutFieldsKeepsItsTypeElementUnlessItsBodyIsSkipped)
{
    XMLOutput out(m_dir / "camera.xml");
    test::InComponent(out, "Camera", [] {});
    std::vector<bool> bits = {true, false}; // the type group is written, its body is not
    out.InjectExistence(bits);
    test::InComponent(out, "Skipped", [] {});
    EXPECT_EQ(Saved(out), "<?xml version=\"1.0\" ?>\n"
                          "<root>\n"
                          "    <Camera />\n"
                          "</root>\n");
}

TEST_F(XMLOutputTest, BeginGroupMovesTheNameToTheDescription)
{
    XMLOutput out(m_dir / "names.xml");
    for (auto [full, description] :
         {std::pair{"Tag;Shown text", "Shown text"}, {"Tag", ""}, {"unused;Item", "Item"}})
    {
        const char* name = full;
        out.BeginGroup(name);
        EXPECT_STREQ(name, description) << full;
        out.EndGroup();
    }
}

TEST_F(XMLOutputTest, NothingIsWrittenUntilSaveAndSaveReplacesTheWholeFile)
{
    const auto path =
        m_dir.Write("out.xml", "old content that is longer than the new document will be......");
    {
        XMLOutput out(path);
        std::int32_t value = 7;
        SerializeNamed(out, value, "Value");
    }
    EXPECT_EQ(test::TempDir::Read(path), "old content that is longer than the new document will be......");

    XMLOutput out(path);
    std::int32_t value = 7;
    SerializeNamed(out, value, "Value");
    EXPECT_EQ(Saved(out), "<?xml version=\"1.0\" ?>\n<root>\n    <Value>7</Value>\n</root>\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}), 1);
}

TEST_F(XMLOutputTest, AFailedSaveIsReportedAndLeavesNoFileBehind)
{
    const auto blocker = m_dir.Write("file", "not a folder");
    XMLOutput out(blocker / "out.xml");
    EXPECT_FALSE(out.Save());
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("Could not save XML file \"" + (blocker / "out.xml").string() + "\""));
    EXPECT_EQ(test::TempDir::Read(blocker), "not a folder");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}), 1);
}

} // namespace
} // namespace Quarn
