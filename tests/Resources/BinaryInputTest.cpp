#include "Resources/BinaryInput.h"
#include "BinaryStream.h"
#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "SerializerTestObjects.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

namespace Quarn
{
namespace
{

using test::Bytes;

class BinaryInputTest : public testing::Test
{
protected:
    test::CapturedErrors m_errors;
};

TEST_F(BinaryInputTest, IsABinaryInputThatTakesNoExistenceFromOutside)
{
    const std::string stream = Bytes({0});
    BinaryInput in(stream.data(), 1);
    EXPECT_TRUE(in.IsIllegible());
    EXPECT_FALSE(in.IsLegible());
    EXPECT_TRUE(in.IsInput());
    EXPECT_FALSE(in.IsOutput());

    std::vector<bool> bits = {false};
    in.InjectExistence(bits);
    EXPECT_TRUE(in.Exists("Anything"));
    EXPECT_EQ(m_errors.Texts(),
              std::vector<std::string>{"Binary serializers do not currently support injecting existance"});
}

TEST_F(BinaryInputTest, WithoutAHeaderEveryPartExistsAndValuesStartAtTheSecondByte)
{
    const std::string stream = Bytes({0x00, 0xc8, 0xfb, 0x02, 0x04, 0x03, 0x02, 0x01});
    BinaryInput in(stream.data(), static_cast<std::uint32_t>(stream.size()));
    EXPECT_EQ(in.Consumed(), 1u);
    EXPECT_FALSE(in.HasExistence());
    EXPECT_TRUE(in.GetExistence()->empty());

    std::uint8_t u8 = 0;
    std::int8_t i8 = 0;
    bool flag = false;
    std::uint32_t u32 = 0;
    EXPECT_TRUE(in.Exists("U8"));
    in.BeginGroup("U8");
    in.Serialize(u8);
    in.EndGroup();
    EXPECT_TRUE(in.Exists("unused;Nested"));
    in.Serialize(i8);
    in.Serialize(flag);
    in.Serialize(u32);

    EXPECT_EQ(u8, 200);
    EXPECT_EQ(i8, -5);
    EXPECT_TRUE(flag); // any byte but 0
    EXPECT_EQ(u32, 0x01020304u);
    EXPECT_EQ(in.Left(), 0u);
    EXPECT_TRUE(in.Good());
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(BinaryInputTest, ExistenceBitsAreReadLeastSignificantFirstAcrossWords)
{
    // 33 bits: bits 0 and 31 of the first word, and bit 32 as bit 0 of the second; then one value.
    const std::string stream =
        Bytes({0x01, 33, 0, 0, 0, 0x01, 0x00, 0x00, 0x80, 0x01, 0x00, 0x00, 0x00, 0x2a, 0, 0, 0});
    BinaryInput in(stream.data(), static_cast<std::uint32_t>(stream.size()));
    ASSERT_EQ(in.GetExistence()->size(), 33u);

    std::vector<bool> answers;
    for (int i = 0; i < 33; ++i)
    {
        EXPECT_TRUE(in.HasExistence());
        answers.push_back(in.Exists(i % 2 ? "unused" : "Part"));
        // Groups take no bits.
        in.BeginGroup("Part");
        in.EndGroup();
    }
    std::vector<bool> expected(33, false);
    expected[0] = expected[31] = expected[32] = true;
    EXPECT_EQ(answers, expected);
    EXPECT_FALSE(in.HasExistence());

    std::int32_t value = 0;
    in.Serialize(value);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(BinaryInputTest, AskingBeyondTheHeaderAnswersFalseAndIsReportedOnce)
{
    for (const std::string& stream : {Bytes({0x01, 0, 0, 0, 0}), Bytes({0x01, 1, 0, 0, 0, 1, 0, 0, 0})})
    {
        m_errors.Clear();
        BinaryInput in(stream.data(), static_cast<std::uint32_t>(stream.size()));
        const std::size_t held = in.GetExistence()->size();
        for (std::size_t i = 0; i < held; ++i)
            EXPECT_TRUE(in.Exists("Held"));
        EXPECT_FALSE(in.Exists("Extra"));
        EXPECT_FALSE(in.Exists("More"));
        ASSERT_EQ(m_errors.Count(), 1u);
        EXPECT_EQ(m_errors.Texts()[0],
                  "Binary input has no existence bit left for \"Extra\": its header holds " +
                      std::to_string(held) + ".");
        EXPECT_TRUE(in.Good());
    }
}

TEST_F(BinaryInputTest, StringsAreALengthAndTheirBytesAndAnEmptyOneEmptiesTheTarget)
{
    const std::string stream = Bytes({0, 0, 0, 0, 0, 3, 0, 0, 0, 'a', 0, 'b', 0, 0, 0, 0});
    BinaryInput in(stream.data(), static_cast<std::uint32_t>(stream.size()));
    std::string empty = "held text", text, last;
    in.Serialize(empty);
    in.Serialize(text);
    in.Serialize(last);
    EXPECT_EQ(empty, "");
    EXPECT_EQ(text, std::string("a\0b", 3));
    EXPECT_EQ(last, "");
    EXPECT_EQ(in.Left(), 0u);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(BinaryInputTest, ASequenceIsItsCountThenTheItemsBackToBack)
{
    const std::string stream = Bytes({0, 3, 0, 0, 0, 10, 0, 20, 0, 30, 0, 0xff});
    BinaryInput in(stream.data(), static_cast<std::uint32_t>(stream.size()));
    std::vector<std::uint16_t> items = {1};
    SerializeSequence(in, items, "unused;Item");
    std::uint8_t after = 0;
    in.Serialize(after);
    EXPECT_EQ(items, (std::vector<std::uint16_t>{10, 20, 30}));
    EXPECT_EQ(after, 0xff);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(BinaryInputTest, RawBlocksAreCopiedAsTheyAre)
{
    const std::string stream = Bytes({0, 1, 2, 3, 0xfe});
    BinaryInput in(stream.data(), static_cast<std::uint32_t>(stream.size()));
    unsigned char block[4] = {};
    in.SerializeRaw(block, sizeof(block));
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(block[3], 0xfe);
    EXPECT_EQ(in.Left(), 0u);
}

// Streams whose lengths or counts cannot be backed by the bytes that follow them.
TEST_F(BinaryInputTest, DamagedLengthsAndCountsAreReportedWithoutReadingOrAllocatingForThem)
{
    struct Case
    {
        const char* what;
        std::string stream;
        bool sequence; // read as a sequence, else as a string
        const char* report;
    };
    const Case cases[] = {
        {"empty stream", "", false, "Binary input ended early: 1 bytes needed at byte 0, only 0 left."},
        {"bit count without words", Bytes({1, 0xff, 0xff, 0xff, 0xff, 0, 0}), false,
         "Binary input ended early: 536870912 bytes needed at byte 5, only 2 left."},
        {"string longer than the stream", Bytes({0, 0xff, 0xff, 0xff, 0xff, 'a'}), false,
         "Binary input ended early: 4294967295 bytes needed at byte 5, only 1 left."},
        {"sequence count beyond the stream", Bytes({0, 0x00, 0xca, 0x9a, 0x3b, 1, 2}), true,
         "Binary input is corrupt: a sequence of 1000000000 items at byte 1, with only 2 bytes left."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        m_errors.Clear();
        test::ExactBlock block(c.stream);
        BinaryInput in(block.Data(), block.Size());
        std::string text = "kept";
        std::vector<std::int32_t> items = {5};
        if (c.sequence)
            SerializeSequence(in, items, "unused;Item");
        else
            in.Serialize(text);
        EXPECT_FALSE(in.Good());
        EXPECT_EQ(text, "kept");
        EXPECT_EQ(items, std::vector<std::int32_t>{5});
        EXPECT_EQ(m_errors.Texts(), std::vector<std::string>{c.report});
        EXPECT_LE(in.Consumed(), block.Size());
    }
}

TEST_F(BinaryInputTest, AfterDamageNothingMoreIsReadAndNoPartExists)
{
    const std::string stream = Bytes({0, 1, 0});
    BinaryInput in(stream.data(), 2);
    std::uint16_t cut = 7;
    in.Serialize(cut);
    EXPECT_EQ(cut, 7);

    std::uint8_t byte = 9;
    std::uint32_t count = 4;
    in.Serialize(byte);
    in.SequenceSize(count, "Item");
    EXPECT_FALSE(in.Exists("unused"));
    EXPECT_EQ(byte, 9);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(in.Consumed(), 1u);
    EXPECT_EQ(m_errors.Count(), 1u);
}

TEST_F(BinaryInputTest, ADamagedStreamInsideALuaCallRestartsTheGame)
{
    LuaCallDepthScope inLua;
    EXPECT_THROW(BinaryInput(nullptr, 0), RestartGameException);
}

} // namespace
} // namespace Quarn
