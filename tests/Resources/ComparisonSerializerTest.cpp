#include "Resources/ComparisonSerializer.h"
#include "Resources/XMLInput.h"
#include "Resources/XMLOutput.h"
#include "SerializerTestObjects.h"
#include "support/CapturedErrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace Quarn
{
namespace
{

// The bits that say which parts of object differ from reference.
template <class T> std::vector<bool> Differences(T& reference, T& object)
{
    ComparisonSerializer comparison;
    reference.Serialize(comparison);
    object.Serialize(comparison);
    return *comparison.GetExistence();
}

class ComparisonSerializerTest : public testing::Test
{
protected:
    // Writes only the parts of object that differ from reference, then reads them over a copy of the
    // reference, the way a saved object is rebuilt from its prototype.
    template <class T> T SavedAndRebuilt(T reference, T object, std::string* xml = nullptr)
    {
        std::vector<bool> bits = Differences(reference, object);
        {
            XMLOutput out(m_path);
            out.InjectExistence(bits);
            object.Serialize(out);
            EXPECT_TRUE(out.Save());
        }
        if (xml)
            *xml = test::TempDir::Read(m_path);
        XMLInput in(m_path);
        reference.Serialize(in);
        return reference;
    }

    test::TempDir m_dir;
    std::filesystem::path m_path = m_dir / "object.xml";
    test::CapturedErrors m_errors;
};

TEST_F(ComparisonSerializerTest, IsATextOutputThatComputesItsOwnBits)
{
    ComparisonSerializer comparison;
    EXPECT_TRUE(comparison.IsLegible());
    EXPECT_FALSE(comparison.IsIllegible());
    EXPECT_TRUE(comparison.IsOutput());
    EXPECT_FALSE(comparison.IsInput());
    EXPECT_TRUE(comparison.HasExistence());

    std::vector<bool> bits = {true};
    comparison.InjectExistence(bits);
    EXPECT_TRUE(comparison.GetExistence()->empty());
    EXPECT_EQ(m_errors.Texts(),
              std::vector<std::string>{"Comparison serializer does not allow inject existance!"});
}

TEST_F(ComparisonSerializerTest, IdenticalObjectsLeaveOnlyTheOutermostBitAndItIsFalse)
{
    test::TestShip reference, object;
    reference.hasCamera = object.hasCamera = false;
    EXPECT_EQ(Differences(reference, object), std::vector<bool>{false});

    std::string xml;
    EXPECT_EQ(SavedAndRebuilt(reference, object, &xml), object);
    EXPECT_EQ(xml, "<?xml version=\"1.0\" ?>\n<root />\n");
}

TEST_F(ComparisonSerializerTest, OneDeepChangeMarksItsPartAndEveryEnclosingOneAndOnlyThatIsWritten)
{
    test::TestShip reference, object;
    reference.hasCamera = object.hasCamera = false;
    object.deep = 7.5f;
    // Object, Archetype list, Motion, Body, its fields, Name, Inner, Deep, Layer.
    EXPECT_EQ(Differences(reference, object),
              (std::vector<bool>{true, false, false, true, true, false, true, true, false}));

    std::string xml;
    EXPECT_EQ(SavedAndRebuilt(reference, object, &xml), object);
    EXPECT_EQ(xml, "<?xml version=\"1.0\" ?>\n"
                   "<root>\n"
                   "    <Object>\n"
                   "        <Body>\n"
                   "            <Inner>\n"
                   "                <Deep>7.5</Deep>\n"
                   "            </Inner>\n"
                   "        </Body>\n"
                   "    </Object>\n"
                   "</root>\n");
    EXPECT_EQ(m_errors.Count(), 0u);
}

// One value of some type inside a group, compared with one of another type.
template <class A, class B> bool SameText(A a, B b)
{
    struct One : Serializeable
    {
        std::function<void(Serializer&)> value;
        bool Serialize(Serializer& s) override
        {
            return test::InGroup(s, "V", [&] { value(s); });
        }
    };
    One first, second;
    first.value = [&](Serializer& s) { s.Serialize(a); };
    second.value = [&](Serializer& s) { s.Serialize(b); };
    return Differences(first, second) == std::vector<bool>{false};
}

TEST_F(ComparisonSerializerTest, ValuesCompareByTheTextTheXMLWriterGivesThem)
{
    EXPECT_TRUE(SameText(std::string("5"), std::int32_t{5}));
    EXPECT_TRUE(SameText(std::uint8_t{65}, std::string("65")));
    EXPECT_TRUE(SameText(0.5f, 0.5));
    EXPECT_TRUE(SameText(true, std::uint8_t{1}));
    EXPECT_TRUE(SameText(std::int8_t{-5}, -5ll));
    EXPECT_TRUE(SameText(std::string(), std::string()));

    EXPECT_FALSE(SameText(0.1f, 0.1)); // 0.100000001 and 0.10000000000000001
    EXPECT_FALSE(SameText(0.0f, -0.0f));
    EXPECT_FALSE(SameText(std::string("A"), std::uint8_t{65}));
    EXPECT_FALSE(SameText(std::string(" 5"), std::int32_t{5}));
    EXPECT_FALSE(SameText(std::string(""), std::string(" ")));
}

// A list of entries, each an item group holding a value, then a value after the list.
struct Roster : Serializeable
{
    Roster() = default;
    Roster(std::vector<std::string> n, std::int32_t a) : names(std::move(n)), after(a) {}

    std::vector<std::string> names;
    std::int32_t after = 0;
    bool Serialize(Serializer& s) override
    {
        return test::InGroup(s, "Roster",
                             [&]
                             {
                                 SerializeSequence(s, names, "unused;Name");
                                 SerializeNamed(s, after, "After");
                             });
    }
    bool operator==(const Roster& o) const { return names == o.names && after == o.after; }
};

TEST_F(ComparisonSerializerTest, ASequenceThatDiffersIsWrittenWholeAndTheComparisonAfterItStaysInStep)
{
    struct Case
    {
        std::vector<std::string> names;
        std::int32_t after;
        std::vector<bool> bits; // Roster, list, items..., After
    };
    const Roster reference({"a", "b"}, 1);
    const Case cases[] = {
        {{"a", "b"}, 1, {false}},
        {{"a", "b"}, 2, {true, false, true}},
        {{"a", "b", "c"}, 1, {true, true, true, true, true, false}},
        {{"a"}, 1, {true, true, true, false}},
        {{}, 1, {true, true, false}},
        {{"a", "x"}, 1, {true, true, true, true, false}},
        {{"x", "b", "c"}, 2, {true, true, true, true, true, true}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.names) + " " + std::to_string(c.after));
        m_errors.Clear();
        Roster ref = reference, object(c.names, c.after);
        EXPECT_EQ(Differences(ref, object), c.bits);
        EXPECT_EQ(SavedAndRebuilt(reference, object), object);
        EXPECT_EQ(m_errors.Count(), 0u);
    }
}

// Lists inside the items of a list.
struct League : Serializeable
{
    std::vector<Roster> teams;
    std::string title;
    bool Serialize(Serializer& s) override
    {
        return test::InGroup(s, "League",
                             [&]
                             {
                                 SerializeSequence(s, teams, "unused;Team");
                                 SerializeNamed(s, title, "Title");
                             });
    }
    bool operator==(const League& o) const { return teams == o.teams && title == o.title; }
};

TEST_F(ComparisonSerializerTest, AChangeInsideANestedListWritesTheOuterListWhole)
{
    League reference;
    reference.teams = {Roster({"a", "b"}, 1), Roster({}, 2), Roster({"c"}, 3)};
    reference.title = "cup";

    League same = reference;
    EXPECT_EQ(Differences(reference, same), std::vector<bool>{false});

    std::vector<League> changed(4, reference);
    changed[0].teams[2].names[0] = "x";
    changed[1].teams[1].names.push_back("new");
    changed[2].teams[0].names.pop_back();
    changed[3].teams.pop_back();
    changed[3].title = "final";
    for (const League& object : changed)
    {
        League copy = object;
        const std::vector<bool> bits = Differences(reference, copy);
        // League, the list, then every part inside the list; the title only when it changed.
        EXPECT_EQ(std::count(bits.begin(), bits.end(), false), object.title == reference.title ? 1 : 0);
        EXPECT_EQ(SavedAndRebuilt(reference, object), object);
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(ComparisonSerializerTest, APartOnlyOneSideHasCountsAsDifferentEvenWhenItHoldsNoValue)
{
    test::TestShip reference, object;
    reference.hasCamera = false;
    std::vector<bool> bits = Differences(reference, object);
    ASSERT_GE(bits.size(), 2u);
    EXPECT_TRUE(bits.front());
    EXPECT_TRUE(bits[bits.size() - 2]); // Camera
    EXPECT_TRUE(bits.back());           // its body

    reference.hasCamera = false;
    std::string xml;
    test::TestShip rebuilt = SavedAndRebuilt(reference, object, &xml);
    EXPECT_TRUE(rebuilt.hasCamera);
    EXPECT_NE(xml.find("<Camera />"), std::string::npos) << xml;
}

// Values written straight into one group, as many as the object has.
struct Bag : Serializeable
{
    explicit Bag(std::vector<std::int32_t> v) : values(std::move(v)) {}

    std::vector<std::int32_t> values;
    bool Serialize(Serializer& s) override
    {
        return test::InGroup(s, "Bag",
                             [&]
                             {
                                 for (auto& v : values)
                                     s.Serialize(v);
                                 test::InGroup(s, "Tail", [&] {});
                             });
    }
};

TEST_F(ComparisonSerializerTest, AValueOrGroupWithoutAPartnerCountsAsDifferentAndNothingIsReadPastTheRecord)
{
    struct Case
    {
        std::vector<std::int32_t> reference, object;
        bool differs;
    };
    const Case cases[] = {
        {{1, 2}, {1, 2}, false}, {{1, 2}, {1, 2, 3}, true}, {{1, 2}, {1}, true},
        {{}, {0}, true},         {{0}, {}, true},           {{1, 2}, {2, 1}, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.reference) + " " + testing::PrintToString(c.object));
        Bag reference(c.reference), object(c.object);
        EXPECT_EQ(Differences(reference, object).front(), c.differs);
    }

    // Groups the reference does not have, even empty ones, then more closes than opens.
    ComparisonSerializer comparison;
    Bag reference({1});
    reference.Serialize(comparison);
    test::InGroup(comparison, "Bag",
                  [&]
                  {
                      std::int32_t one = 1;
                      comparison.Serialize(one);
                      test::InGroup(comparison, "Tail", [] {});
                      for (int i = 0; i < 2; ++i)
                          test::InGroup(comparison, "Extra",
                                        [&] { test::InGroup(comparison, "Deeper", [] {}); });
                  });
    comparison.EndGroup();
    // Bag, Tail, then each Extra and its Deeper.
    EXPECT_EQ(*comparison.GetExistence(), (std::vector<bool>{true, false, true, true, true, true}));
    EXPECT_EQ(m_errors.Texts(),
              std::vector<std::string>{"\nEndGroup without an open group in the comparison serializer.\n"
                                       "expression: m_depth > 0"});
}

} // namespace
} // namespace Quarn
