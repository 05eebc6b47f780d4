#include "Resources/Serializer.h"
#include "BinaryStream.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/BinaryInput.h"
#include "Resources/SerializerTypes.h"
#include "SerializerCallLog.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

namespace Quarn
{
namespace
{

// Fields keep one width on every platform: long, which differs, is refused at compile time.
template <class T>
concept Carried = requires(Serializer& s, T& value)
{
    s.Serialize(value);
};
static_assert(!Carried<long> && !Carried<unsigned long>);
static_assert(Carried<long long> && Carried<unsigned long long> && Carried<std::int8_t>);

TEST(SerializedTagTest, TagIsTheTextBeforeTheFirstSemicolonAndNameMovesToTheDescription)
{
    struct Case
    {
        const char* name;
        const char* tag;
        const char* description;
    };
    const Case cases[] = {
        {"unused;Archetype", "unused", "Archetype"},
        {"Volume", "Volume", ""},
        {"unused;", "unused", ""},
        {";Desc", "", "Desc"},
        {"", "", ""},
        {"a;b;c", "a", "b;c"},
    };
    for (const Case& c : cases)
    {
        const char* name = c.name;
        EXPECT_EQ(GetSerializedTag(name), c.tag) << c.name;
        EXPECT_STREQ(name, c.description) << c.name;
    }
}

TEST(SerializedTagTest, UnusedIsComparedInLowerCase)
{
    for (const char* tag : {"unused", "Unused", "UNUSED", "unUsed"})
        EXPECT_TRUE(IsUnusedTag(tag)) << tag;
    // 0xF5 is 'u' with the high bit set.
    for (const char* tag : {"", "unuse", "unused2", "unused;", "Archetype", "\xF5nused"})
        EXPECT_FALSE(IsUnusedTag(tag)) << tag;
}

TEST(SerializerDefaultsTest, TextSerializersRefuseRawBytesAndWritersCannotAnswerExists)
{
    test::CapturedErrors errors;
    test::SerializerCallLog log;
    char bytes[4] = {1, 2, 3, 4};
    log.SerializeRaw(bytes, sizeof(bytes));
    EXPECT_FALSE(log.LegibleOutputSerializer::Exists("Volume"));

    ASSERT_EQ(errors.Count(), 2u);
    EXPECT_EQ(errors.Texts()[0], "Legible Serializers cannot serialize raw data!!!");
    EXPECT_EQ(errors.Texts()[1],
              "Exists can only be used with input serializers.  You may want to look into the function "
              "MarkExistance.  If you think this is tedious talk to me and I can change it back to the way I "
              "used to do it which is a bit different.");
    EXPECT_EQ(bytes[0], 1);
    EXPECT_TRUE(log.Calls().empty());
}

TEST(SerializerDefaultsTest, ReportsInsideALuaCallRestartTheGame)
{
    test::CapturedErrors errors;
    test::SerializerCallLog log;
    LuaCallDepthScope inLua;
    char byte = 0;
    EXPECT_THROW(log.SerializeRaw(&byte, 1), RestartGameException);
    EXPECT_EQ(errors.Count(), 1u);
}

TEST(SerializerTypesTest, AttributeRangeFieldsGoOutInTheirFixedOrderUnderTheirOwnNames)
{
    test::SerializerCallLog log;
    AttributeRange range{1, 2, 3, 4, 5};
    SerializeAttributeRange(log, range);
    const std::vector<std::string> expected = {
        "Exists AttributeID",  "Begin AttributeID",  "u32 1", "End", //
        "Exists Face Count",   "Begin Face Count",   "u32 3", "End", //
        "Exists Face Start",   "Begin Face Start",   "u32 2", "End", //
        "Exists Vertex Count", "Begin Vertex Count", "u32 5", "End", //
        "Exists Vertex Start", "Begin Vertex Start", "u32 4", "End",
    };
    EXPECT_EQ(log.Calls(), expected);
}

TEST(SerializerTypesTest, ASequenceIsItsGroupTheCountAndOneNamedPartPerElement)
{
    test::SerializerCallLog log;
    std::vector<std::string> names = {"Ship", "Enemy"};
    EXPECT_TRUE(SerializeSequence(log, names, "unused;Archetype"));
    const std::vector<std::string> expected = {
        "Exists unused;Archetype",
        "Begin unused;Archetype",
        "Size unused;Archetype 2",
        "Exists unused;Archetype",
        "Begin unused;Archetype",
        "string Ship",
        "End",
        "Exists unused;Archetype",
        "Begin unused;Archetype",
        "string Enemy",
        "End",
        "End",
    };
    EXPECT_EQ(log.Calls(), expected);
}

struct Part : Serializeable
{
    std::int32_t value = 0;
    bool Serialize(Serializer& s) override { return SerializeNamed(s, value, "Value"); }
};

TEST(SerializerTypesTest, AComponentSlotIsFilledWhenReadIntoEmptyAndWritesNothingWhenEmpty)
{
    std::vector<std::unique_ptr<Part>> created;
    auto create = [&]
    {
        created.push_back(std::make_unique<Part>());
        return created.back().get();
    };

    test::SerializerCallLog log;
    Part* empty = nullptr;
    SerializeComponentPointer(log, empty, create);
    EXPECT_TRUE(log.Calls().empty());
    Part held;
    held.value = 5;
    Part* slot = &held;
    SerializeComponentPointer(log, slot, create);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"Exists unused", "Begin unused", "Exists Value",
                                                     "Begin Value", "i32 5", "End", "End"}));
    EXPECT_TRUE(created.empty());

    const std::string stream = test::Bytes({0, 7, 0, 0, 0, 9, 0, 0, 0});
    BinaryInput in(stream.data(), static_cast<std::uint32_t>(stream.size()));
    SerializeComponentPointer(in, empty, create);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(empty, created[0].get());
    EXPECT_EQ(empty->value, 7);
    SerializeComponentPointer(in, slot, create);
    EXPECT_EQ(created.size(), 1u);
    EXPECT_EQ(slot, &held);
    EXPECT_EQ(held.value, 9);
}

} // namespace
} // namespace Quarn
