#include "BinaryStream.h"
#include "Resources/BinaryInput.h"
#include "Resources/BinaryOutput.h"
#include "SerializerTestObjects.h"
#include "support/CapturedErrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Quarn
{
namespace
{

using test::Bytes;

class BinaryRoundTripTest : public testing::Test
{
protected:
    test::CapturedErrors m_errors;
};

TEST_F(BinaryRoundTripTest, EveryValueTypeReadsBackExactlyWithAndWithoutAHeader)
{
    for (bool withExistence : {false, true})
    {
        SCOPED_TRACE(withExistence);
        test::AllValues written;
        BinaryOutput out(withExistence);
        EXPECT_TRUE(written.Serialize(out));
        const std::string stream = out.Bytes();

        test::AllValues read = test::AllValues::Other();
        test::ExactBlock block(stream);
        BinaryInput in(block.Data(), block.Size());
        EXPECT_TRUE(read.Serialize(in));
        EXPECT_EQ(read, written);
        EXPECT_EQ(in.Left(), 0u);
        EXPECT_FALSE(in.HasExistence());
        EXPECT_EQ(*in.GetExistence(), *out.GetExistence());
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(BinaryRoundTripTest, FloatingPointValuesKeepEveryBit)
{
    const double doubles[] = {0.1, -0.0, std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    const float floats[] = {0.1f, -0.0f, std::numeric_limits<float>::max(),
                            -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    BinaryOutput out;
    for (double d : doubles)
        out.Serialize(d);
    for (float f : floats)
        out.Serialize(f);
    const std::string stream = out.Bytes();
    BinaryInput in(stream.data(), static_cast<std::uint32_t>(stream.size()));
    for (double d : doubles)
    {
        double read = 5;
        in.Serialize(read);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read), std::bit_cast<std::uint64_t>(d)) << d;
    }
    for (float f : floats)
    {
        float read = 5;
        in.Serialize(read);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(read), std::bit_cast<std::uint32_t>(f)) << f;
    }
}

TEST_F(BinaryRoundTripTest, TheWriterLaysOutLittleEndianValuesAfterTheHeader)
{
    BinaryOutput out;
    double d = 1.0;
    float f = -2.0f;
    std::int16_t i16 = -2;
    bool yes = true;
    std::string text = "hi";
    std::uint32_t count = 2;
    out.Serialize(d);
    out.Serialize(f);
    out.Serialize(i16);
    out.Serialize(yes);
    out.Serialize(text);
    out.SequenceSize(count, "unused;Item");
    EXPECT_EQ(out.Bytes(), Bytes({0x00,                                      // no header
                                  0,    0,    0, 0,    0,   0,   0xf0, 0x3f, // 1.0
                                  0,    0,    0, 0xc0,                       // -2.0f
                                  0xfe, 0xff,                                // -2
                                  0x01,                                      // true
                                  2,    0,    0, 0,    'h', 'i',             // "hi"
                                  2,    0,    0, 0}));                       // count
}

TEST_F(BinaryRoundTripTest, ReplayedBitsLeaveOutPartsAndTheHeaderTellsTheReader)
{
    // 33 optional parts: the first, the 32nd and the 33rd are written.
    std::vector<bool> bits(33, false);
    bits[0] = bits[31] = bits[32] = true;
    std::vector<std::uint8_t> values(34);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint8_t>(i + 1);

    BinaryOutput out;
    out.InjectExistence(bits);
    EXPECT_TRUE(out.HasExistence());
    for (std::size_t i = 0; i < values.size(); ++i)
        SerializeNamed(out, values[i], "Part");
    EXPECT_FALSE(out.HasExistence());
    const std::string stream = out.Bytes();
    // The 34th part, beyond the replayed bits, is written and recorded as present.
    EXPECT_EQ(stream,
              Bytes({0x01, 34, 0, 0, 0, 0x01, 0x00, 0x00, 0x80, 0x03, 0x00, 0x00, 0x00, 1, 32, 33, 34}));

    std::vector<std::uint8_t> read(34, 0);
    BinaryInput in(stream.data(), static_cast<std::uint32_t>(stream.size()));
    for (auto& value : read)
        SerializeNamed(in, value, "Part");
    for (std::size_t i = 0; i < read.size(); ++i)
        EXPECT_EQ(read[i], bits.size() <= i || bits[i] ? values[i] : 0) << i;
    EXPECT_EQ(in.Left(), 0u);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(BinaryRoundTripTest, AStreamCutAnywhereIsReportedOnceAndNeverReadPast)
{
    test::AllValues written;
    BinaryOutput out(true);
    written.Serialize(out);
    const std::string stream = out.Bytes();

    for (std::size_t cut = 0; cut < stream.size(); ++cut)
    {
        SCOPED_TRACE(cut);
        m_errors.Clear();
        test::ExactBlock block(stream, cut);
        test::AllValues read = test::AllValues::Other();
        BinaryInput in(block.Data(), block.Size());
        read.Serialize(in);
        EXPECT_FALSE(in.Good());
        EXPECT_EQ(m_errors.Count(), 1u);
        EXPECT_LE(in.Consumed(), block.Size());
        EXPECT_FALSE(read == written);
    }
}

TEST_F(BinaryRoundTripTest, SaveReplacesTheFileOrReportsAndLeavesItAlone)
{
    test::TempDir dir;
    const auto path = dir.Write("mesh.tmb", "older and longer content");
    BinaryOutput out;
    std::uint32_t value = 0x0a0b0c0d;
    out.Serialize(value);
    ASSERT_TRUE(out.Save(path));
    EXPECT_EQ(test::TempDir::Read(path), Bytes({0, 0x0d, 0x0c, 0x0b, 0x0a}));

    const auto blocked = path / "inside.tmb";
    EXPECT_FALSE(out.Save(blocked));
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("Could not save binary file \"" + blocked.string() + "\": "));
    EXPECT_EQ(test::TempDir::Read(path), Bytes({0, 0x0d, 0x0c, 0x0b, 0x0a}));
}

} // namespace
} // namespace Quarn
