#include "Resources/XMLInput.h"
#include "Resources/XMLOutput.h"
#include "SerializerTestObjects.h"
#include "support/CapturedErrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <limits>

namespace Quarn
{
namespace
{

class XMLRoundTripTest : public testing::Test
{
protected:
    // Writes one value under "V"; returns the text of its element as saved.
    template <class T> std::string Write(T value)
    {
        XMLOutput out(m_path);
        SerializeNamed(out, value, "V");
        EXPECT_TRUE(out.Save());
        const std::string text = test::TempDir::Read(m_path);
        const auto open = text.find("<V>"), close = text.find("</V>");
        return open == std::string::npos || close == std::string::npos
                   ? text
                   : text.substr(open + 3, close - open - 3);
    }

    template <class T> T ReadBack(T start)
    {
        XMLInput in(m_path);
        EXPECT_TRUE(SerializeNamed(in, start, "V"));
        return start;
    }

    template <class T> void Check(T value, const std::string& text)
    {
        SCOPED_TRACE(text);
        EXPECT_EQ(Write(value), text);
        EXPECT_EQ(ReadBack(T{}), value);
    }

    test::TempDir m_dir;
    std::filesystem::path m_path = m_dir / "values.xml";
    test::CapturedErrors m_errors;
};

TEST_F(XMLRoundTripTest, EveryValueTypeHasItsTextAndReadsBackExactly)
{
    Check<std::uint8_t>(200, "200");
    Check<std::int8_t>(-5, "-5");
    Check<std::uint8_t>(65, "65");
    Check<std::uint16_t>(65535, "65535");
    Check<std::int16_t>(-32768, "-32768");
    Check<std::uint32_t>(4294967295u, "4294967295");
    Check<std::int32_t>(-2147483647 - 1, "-2147483648");
    Check<unsigned long long>(std::numeric_limits<unsigned long long>::max(), "18446744073709551615");
    Check<long long>(std::numeric_limits<long long>::min(), "-9223372036854775808");
    Check<float>(0.1f, "0.100000001");
    Check<double>(0.1, "0.10000000000000001");
    Check<float>(-3.0f, "-3");
    Check<double>(1e300, "1.0000000000000001e+300");
    Check<bool>(true, "1");
    Check<bool>(false, "0");
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(XMLRoundTripTest, StringsKeepTheirWhiteSpaceAndSpecialCharacters)
{
    for (const std::string text : {"", "  lead and trail  ", "   ", "\n", "\t", "a\nb\tc", "x  y",
                                   "caf\xc3\xa9 \xe2\x82\xac", "<&>\"'", "]]>", "  <a> & \n"})
    {
        SCOPED_TRACE(text);
        Write(text);
        EXPECT_EQ(ReadBack(std::string("before")), text);
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

// One item of a list: a value and a nested group.
struct Entry : Serializeable
{
    Entry() = default;
    Entry(std::string k, std::int32_t c, std::vector<std::string> t)
        : key(std::move(k)), count(c), tags(std::move(t))
    {
    }

    std::string key;
    std::int32_t count = 0;
    std::vector<std::string> tags;

    bool Serialize(Serializer& s) override
    {
        SerializeNamed(s, key, "Key");
        test::InGroup(s, "Stats", [&] { SerializeNamed(s, count, "Count"); });
        SerializeSequence(s, tags, "unused;Tag");
        return true;
    }
    bool operator==(const Entry& o) const { return key == o.key && count == o.count && tags == o.tags; }
};

TEST_F(XMLRoundTripTest, ItemsOfAnUnusedSequenceGetElementsNamedByTheDescriptionAndComeBackInOrder)
{
    std::vector<Entry> entries = {{"first", 1, {"a", "b"}}, {"second", 0, {}}, {"", 3, {"c"}}};
    {
        XMLOutput out(m_path);
        SerializeSequence(out, entries, "unused;Item");
        ASSERT_TRUE(out.Save());
    }
    const std::string text = test::TempDir::Read(m_path);
    EXPECT_NE(text.find("<Item>\n        <Item>\n            <Key>first</Key>"), std::string::npos) << text;
    EXPECT_EQ(text.find("nused"), std::string::npos) << text;

    std::vector<Entry> read(1);
    read[0].key = "stale";
    XMLInput in(m_path);
    EXPECT_TRUE(SerializeSequence(in, read, "unused;Item"));
    EXPECT_EQ(read, entries);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(XMLRoundTripTest, NestedListsOfTheSameNameRoundTrip)
{
    // A table of tables: the item's value holds items of its own, as saved script tables do.
    struct Table : Serializeable
    {
        Table() = default;
        Table(std::string n, std::vector<Table> c) : name(std::move(n)), children(std::move(c)) {}

        std::string name;
        std::vector<Table> children;
        bool Serialize(Serializer& s) override
        {
            SerializeNamed(s, name, "Key");
            test::InGroup(s, "Value", [&] { SerializeSequence(s, children, "unused;Item"); });
            return true;
        }
        bool operator==(const Table& o) const { return name == o.name && children == o.children; }
    };
    std::vector<Table> tables = {{"a", {{"a1", {}}, {"a2", {{"a2x", {}}}}}}, {"b", {}}};
    std::vector<std::string> sameName = {"x", "y"};
    {
        XMLOutput out(m_path);
        SerializeSequence(out, tables, "unused;Item");
        SerializeSequence(out, sameName, "List;Entry");
        ASSERT_TRUE(out.Save());
    }
    std::vector<Table> read;
    std::vector<std::string> readNames;
    XMLInput in(m_path);
    SerializeSequence(in, read, "unused;Item");
    SerializeSequence(in, readNames, "List;Entry");
    EXPECT_EQ(read, tables);
    EXPECT_EQ(readNames, sameName);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(XMLRoundTripTest, ObjectsWithDifferentComponentsRoundTripIncludingOnesThatWriteNothing)
{
    std::vector<test::TestShip> ships(3);
    ships[0].archetypes = {"Ship", "Fast"};
    ships[0].deep = 7.5f;
    ships[1].hasCamera = false;
    ships[1].archetypes.clear();
    ships[2].name = "";
    {
        XMLOutput out(m_path);
        SerializeSequence(out, ships, "unused;Object");
        ASSERT_TRUE(out.Save());
    }
    std::vector<test::TestShip> read;
    XMLInput in(m_path);
    SerializeSequence(in, read, "unused;Object");
    EXPECT_EQ(read, ships);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(XMLRoundTripTest, RecordedExistenceReplaysTheSameGroups)
{
    // Hand-edited: Motion has only its speed, Body and Camera are missing.
    m_dir.Write("values.xml", "<root><Object><Motion><Speed>4</Speed></Motion></Object></root>");
    test::TestShip ship;
    std::vector<bool> bits;
    {
        XMLInput in(m_path);
        in.InjectExistence(bits);
        EXPECT_TRUE(ship.Serialize(in));
    }
    EXPECT_EQ(bits, (std::vector<bool>{true, false, true, true, true, false, false, false}));

    const auto copy = m_dir / "copy.xml";
    XMLOutput out(copy);
    out.InjectExistence(bits);
    ship.Serialize(out);
    ASSERT_TRUE(out.Save());
    EXPECT_EQ(test::TempDir::Read(copy), "<?xml version=\"1.0\" ?>\n"
                                         "<root>\n"
                                         "    <Object>\n"
                                         "        <Motion>\n"
                                         "            <Speed>4</Speed>\n"
                                         "        </Motion>\n"
                                         "    </Object>\n"
                                         "</root>\n");
}

} // namespace
} // namespace Quarn
