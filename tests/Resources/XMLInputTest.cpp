#include "Resources/XMLInput.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "SerializerTestObjects.h"
#include "support/CapturedErrors.h"
#include "support/TempDir.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <bit>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace Quarn
{
namespace
{

class XMLInputTest : public testing::Test
{
protected:
    std::filesystem::path File(const std::string& body)
    {
        return m_dir.Write("in.xml", "<?xml version=\"1.0\" ?>\n<root>" + body + "</root>\n");
    }

    test::TempDir m_dir;
    test::CapturedErrors m_errors;
};

TEST_F(XMLInputTest, RepeatedGroupsWalkTheSiblingsInOrderAndAFourthIsReported)
{
    XMLInput in(File("<Item>1</Item><Other>9</Other><Item>2</Item><Item>3</Item><After>4</After>"));
    std::uint32_t count = 0;
    in.SequenceSize(count, "Item");
    EXPECT_EQ(count, 3u);

    std::vector<std::int32_t> values;
    for (int i = 0; i < 4; ++i)
    {
        std::int32_t value = -1;
        in.BeginGroup("Item");
        in.Serialize(value);
        in.EndGroup();
        values.push_back(value);
    }
    EXPECT_EQ(values, (std::vector<std::int32_t>{1, 2, 3, -1}));
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_EQ(m_errors.Texts()[0], "\nOverstepped sequence bounds in XML file: \"in.xml\" for id \"Item\"!\n"
                                   "expression: m_curLocation==NULL");

    // Reading goes on after the report; another name starts from its own first element.
    std::int32_t after = 0, other = 0;
    EXPECT_TRUE(SerializeNamed(in, after, "After"));
    EXPECT_TRUE(SerializeNamed(in, other, "Other"));
    EXPECT_EQ(after, 4);
    EXPECT_EQ(other, 9);
}

// Comments and text around the elements may hold the very name: only elements are groups.
TEST_F(XMLInputTest, OnlyElementsAnswerToAGroupName)
{
    XMLInput in(
        File("Item<!--Item--><Item>1</Item>Item<!--Item--><Item>2</Item><!--Item--><!--Other-->Other"));
    std::uint32_t count = 0;
    in.SequenceSize(count, "Item");
    EXPECT_EQ(count, 2u);
    EXPECT_FALSE(in.Exists("Other"));

    std::vector<std::int32_t> values;
    for (int i = 0; i < 3; ++i)
    {
        std::int32_t value = -1;
        in.BeginGroup("Item");
        in.Serialize(value);
        in.EndGroup();
        values.push_back(value);
    }
    EXPECT_EQ(values, (std::vector<std::int32_t>{1, 2, -1}));
    EXPECT_EQ(m_errors.Count(), 1u);
}

TEST_F(XMLInputTest, AMissingElementIsReportedAndLeavesEverythingInsideItUntouched)
{
    XMLInput in(File("<Present>5</Present>"));
    std::int32_t inner = 11, present = 0;
    in.BeginGroup("Missing");
    EXPECT_FALSE(in.Exists("Nested"));
    test::InGroup(in, "unused", [&] { SerializeNamed(in, inner, "Nested"); });
    in.BeginGroup("Nested");
    in.Serialize(inner);
    in.EndGroup();
    in.EndGroup();
    EXPECT_TRUE(SerializeNamed(in, present, "Present"));

    EXPECT_EQ(inner, 11);
    EXPECT_EQ(present, 5);
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_EQ(m_errors.Texts()[0], "\nCould not find XML node \"Missing\" in file \"in.xml\".\n"
                                   "expression: m_curLocation==0");
}

TEST_F(XMLInputTest, AReportInsideALuaCallRestartsTheGame)
{
    XMLInput in(File(""));
    LuaCallDepthScope inLua;
    EXPECT_THROW(in.BeginGroup("Missing"), RestartGameException);
}

// 16-bit fields, 8-bit ones among them, keep their range and wrap a negative magnitude as unsigned
// conversions do; long digit strings fail without overflowing on the way. No value: not converted.
TEST_F(XMLInputTest, NarrowIntegersConvertWithinTheirRange)
{
    const struct
    {
        const char* text;
        std::optional<std::uint16_t> asUnsigned;
        std::optional<std::int16_t> asSigned;
    } cases[] = {
        {"65535", 65535, std::nullopt},
        {"32768", 32768, std::nullopt},
        {"-1", 65535, -1},
        {"-32768", 32768, -32768},
        {"0042", 42, 42},
        {"65536", std::nullopt, std::nullopt},
        {"-65536", std::nullopt, std::nullopt},
        {"1234567x", std::nullopt, std::nullopt},
        {"0000000000000000000000379903648566611702", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases)
    {
        const std::filesystem::path file = File(std::string("<Value>") + c.text + "</Value>");
        std::uint16_t asUnsigned = 7;
        std::int16_t asSigned = 7;
        XMLInput first(file);
        SerializeNamed(first, asUnsigned, "Value");
        XMLInput second(file);
        SerializeNamed(second, asSigned, "Value");
        EXPECT_EQ(asUnsigned, c.asUnsigned.value_or(7)) << c.text;
        EXPECT_EQ(asSigned, c.asSigned.value_or(7)) << c.text;
    }
}

// Floating-point text reads to the very value the stream conversion gives, or fails where it fails and
// keeps the value: plain decimals of every length (rounding ties among them), and every other form.
TEST(XMLValueTextTest, FloatingPointTextReadsAsTheStreamConversionReadsIt)
{
    std::vector<std::string> texts = {
        // Plain decimals (ties among them: 2^24 + 1, 2^24 + 3, 2^53 + 1), the last one character too long
        // for the quick way.
        "0", "-0", "0.75", "-1.25", "0042.50", "0.1", "3.14159274", "-123456.789", "0.30000000000000004",
        "16777217", "16777219", "9007199254740993", "0.00000000000000000000001", "123456789012345678901234",
        "1234567890123456789012345",
        // Just above and just below a point halfway between two floats: rounded through double first,
        // each would land on that point and round the wrong way.
        "1.0000000596046447753907", "1.0000001788139343261718",
        // Every other form.
        "1.", ".5", "-.5", "1e5", "1E-3", "+1", " 1", "1 ", "-", "", ".", "1..2", "1.2.3", "--1", "0x10",
        "inf", "-Infinity", "nan", "1e39", "1e-46", "3.4028235e38", "1e309", "4.9e-324",
        "340282366920938463463374607431768211456", "0.0000000000000000000000000000000000000000001"};
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i)
    {
        std::string text = random() % 2 ? "-" : "";
        const std::size_t digits = 1 + random() % 26;
        const std::size_t point = random() % (digits + 1);
        for (std::size_t d = 0; d < digits; ++d)
        {
            if (d == point && d > 0)
                text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        texts.push_back(text);
    }
    for (const std::string& text : texts)
    {
        float asFloat = 7, streamFloat = 0;
        double asDouble = 7, streamDouble = 0;
        const bool floatConverts = boost::conversion::try_lexical_convert(text.c_str(), streamFloat);
        const bool doubleConverts = boost::conversion::try_lexical_convert(text.c_str(), streamDouble);
        EXPECT_EQ(XMLSerializer::ValueFromText(text.c_str(), asFloat), floatConverts) << text;
        EXPECT_EQ(XMLSerializer::ValueFromText(text.c_str(), asDouble), doubleConverts) << text;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(asFloat),
                  std::bit_cast<std::uint32_t>(floatConverts ? streamFloat : 7.0f))
            << text;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(asDouble),
                  std::bit_cast<std::uint64_t>(doubleConverts ? streamDouble : 7.0))
            << text;
    }
}

TEST_F(XMLInputTest, LineEndsOfEveryKindReadAsLineFeeds)
{
    XMLInput in(
        m_dir.Write("crlf.xml", "<?xml version=\"1.0\" ?>\r\n<root>\r\n<Text>a\r\nb\rc\n</Text></root>\r\n"));
    std::string text;
    SerializeNamed(in, text, "Text");
    EXPECT_EQ(text, "a\nb\nc\n");
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(XMLInputTest, TextThatDoesNotConvertIsReportedAndTheValueKept)
{
    XMLInput in(File("<Number>abc</Number><Byte>300x</Byte><NoText></NoText><Flag>true</Flag>"));
    std::int32_t number = 42;
    std::uint8_t byte = 8;
    double noText = 1.5;
    bool flag = false;
    SerializeNamed(in, number, "Number");
    SerializeNamed(in, byte, "Byte");
    SerializeNamed(in, noText, "NoText");
    SerializeNamed(in, flag, "Flag");

    EXPECT_EQ(number, 42);
    EXPECT_EQ(byte, 8);
    EXPECT_EQ(noText, 1.5);
    EXPECT_FALSE(flag);
    const std::string path = (m_dir / "in.xml").string();
    EXPECT_EQ(
        m_errors.Texts(),
        (std::vector<std::string>{
            "Failed to convert XML element 'Number' value 'abc' to type 'int' in file: \n" + path + "\n..",
            "Failed to convert XML element 'Byte' value '300x' to type 'unsigned short' in file: \n" + path +
                "\n..",
            "Failed to convert XML element 'NoText' value '' to type 'double' in file: \n" + path + "\n..",
            "Failed to convert XML element 'Flag' value 'true' to type 'bool' in file: \n" + path + "\n..",
        }));
}

TEST_F(XMLInputTest, FilesThatCannotBeReadAreReportedOnceAndReadAsEmpty)
{
    struct Case
    {
        const char* file;
        std::optional<std::string> content; // none: no file
        const char* report;
    };
    std::string deep;
    for (int level = 0; level < 1100; ++level)
        deep += "<Value>";
    const Case cases[] = {
        {"missing.xml", std::nullopt, "No such file or directory"},
        {"broken.xml", "<root><Value>1</Wrong></root>", "Error reading end tag. (line 1, column 15)"},
        {"declaration.xml", "<?xml version=\"1.0\" ?>\n", "it has no element"},
        {"empty.xml", "", "Error document empty."},
        // Refused before the XML library sees them.
        {"deep.xml", "<root>\n" + deep, "elements nest deeper than 1024 levels (line 2)"},
        {"truncated.xml", "<root><Value>\xF0", "it is not valid UTF-8 (byte 13)"},
        {"nul.xml", std::string("<root>\0</root>", 14), "it holds a NUL byte (byte 6)"},
    };
    for (const Case& c : cases)
    {
        m_errors.Clear();
        const auto path = c.content ? m_dir.Write(c.file, *c.content) : m_dir / c.file;
        XMLInput in(path);
        std::int32_t value = 3;
        std::uint32_t count = 5;
        std::string text = "kept";
        EXPECT_FALSE(SerializeNamed(in, value, "Value")) << c.file;
        EXPECT_TRUE(in.Exists("unused")) << c.file;
        in.BeginGroup("Value");
        in.Serialize(value);
        in.Serialize(text);
        in.SequenceSize(count, "Value");
        in.EndGroup();
        in.Serialize(text);

        EXPECT_EQ(value, 3) << c.file;
        EXPECT_EQ(text, "kept") << c.file;
        EXPECT_EQ(count, 0u) << c.file;
        ASSERT_EQ(m_errors.Count(), 1u) << c.file;
        EXPECT_TRUE(m_errors.Any("Could not read XML file \"" + path.string() + "\": "))
            << m_errors.Texts()[0];
        EXPECT_TRUE(m_errors.Any(c.report)) << m_errors.Texts()[0];
    }
}

TEST_F(XMLInputTest, ExistsOfAnUnusedNameNeedsNoElementAndEveryAnswerIsRecorded)
{
    XMLInput in(File("<Item>1</Item>"));
    EXPECT_FALSE(in.HasExistence());
    std::vector<bool> bits;
    in.InjectExistence(bits);
    EXPECT_TRUE(in.HasExistence());
    EXPECT_EQ(in.GetExistence(), &bits);

    EXPECT_TRUE(in.Exists("unused"));
    EXPECT_TRUE(in.Exists("Unused;"));
    EXPECT_FALSE(in.Exists("Missing"));
    EXPECT_TRUE(in.Exists("Item;with a description"));
    EXPECT_TRUE(in.Exists("unused;Item"));
    EXPECT_FALSE(in.Exists("unused;Object"));
    EXPECT_EQ(bits, (std::vector<bool>{true, true, false, true, true, false}));
}

TEST_F(XMLInputTest, AGroupInsideAGroupOfTheSameNameEntersItsChild)
{
    XMLInput in(File("<List><List>1</List><List>2</List></List><List>3</List>"));
    std::vector<std::int32_t> values;
    for (int outer = 0; outer < 2; ++outer)
    {
        in.BeginGroup("List");
        std::uint32_t count = 0;
        in.SequenceSize(count, "List");
        for (std::uint32_t i = 0; i < count; ++i)
        {
            std::int32_t value = 0;
            SerializeNamed(in, value, "List");
            values.push_back(value);
        }
        if (count == 0)
        {
            std::int32_t value = 0;
            in.Serialize(value);
            values.push_back(value);
        }
        in.EndGroup();
    }
    EXPECT_EQ(values, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(m_errors.Count(), 0u);
}

} // namespace
} // namespace Quarn
