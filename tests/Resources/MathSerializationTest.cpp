#include "Core/Color4.h"
#include "Core/RGBA.h"
#include "Core/Vector3.h"
#include "Core/Vector4.h"
#include "Resources/SerializerTypes.h"
#include "Resources/XMLInput.h"
#include "Resources/XMLOutput.h"
#include "SerializerCallLog.h"
#include "support/CapturedErrors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Quarn
{
namespace
{

class MathSerializationTest : public testing::Test
{
protected:
    // Saves the value under "V" and returns the saved document.
    template <class T> std::string Save(T value)
    {
        XMLOutput out(m_path);
        EXPECT_TRUE(SerializeNamed(out, value, "V"));
        EXPECT_TRUE(out.Save());
        return test::TempDir::Read(m_path);
    }

    // Reads "V" from the document into start.
    template <class T> T Load(T start)
    {
        XMLInput in(m_path);
        EXPECT_TRUE(SerializeNamed(in, start, "V"));
        return start;
    }

    // Reads "V" from a document written by hand.
    template <class T> T LoadText(const std::string& body, T start)
    {
        m_dir.Write("values.xml", "<?xml version=\"1.0\" ?>\n<root><V>" + body + "</V></root>\n");
        return Load(start);
    }

    template <class T> std::vector<std::string> Calls(T value)
    {
        test::SerializerCallLog log;
        SerializeValue(log, value);
        return log.Calls();
    }

    test::TempDir m_dir;
    std::filesystem::path m_path = m_dir / "values.xml";
    test::CapturedErrors m_errors;
};

std::vector<std::string> FieldCalls(const std::vector<std::pair<std::string, std::string>>& fields)
{
    std::vector<std::string> calls;
    for (const auto& [name, value] : fields)
    {
        calls.insert(calls.end(), {"Exists " + name, "Begin " + name, value, "End"});
    }
    return calls;
}

TEST_F(MathSerializationTest, Vector3WritesThreeFieldsAndKeepsItsFourthFloat)
{
    Vector3 saved(1.5f, -2.0f, 0.1f);
    saved.w = 7.0f;
    EXPECT_EQ(Calls(saved),
              FieldCalls({{"X", "float 1.500000"}, {"Y", "float -2.000000"}, {"Z", "float 0.100000"}}));

    const std::string text = Save(saved);
    EXPECT_NE(text.find("<X>1.5</X>"), std::string::npos) << text;
    EXPECT_EQ(text.find("<W>"), std::string::npos) << text;

    Vector3 start;
    start.w = 9.0f;
    const Vector3 loaded = Load(start);
    EXPECT_EQ(loaded.x, 1.5f);
    EXPECT_EQ(loaded.y, -2.0f);
    EXPECT_EQ(loaded.z, 0.1f);
    EXPECT_EQ(loaded.w, 9.0f);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(MathSerializationTest, AbsentVectorFieldsLeaveTheirComponents)
{
    const Vector3 v3 = LoadText("<X>4</X><Y>5</Y>", Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(v3, Vector3(4.0f, 5.0f, 3.0f));

    const Vector4 v4 = LoadText("<W>1</W><Y>-1</Y>", Vector4(1.0f, 2.0f, 3.0f, 0.0f));
    EXPECT_EQ(v4, Vector4(1.0f, -1.0f, 3.0f, 1.0f));
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(MathSerializationTest, Vector4RoundTripsAllFourFloats)
{
    EXPECT_EQ(Calls(Vector4(1.0f, 2.0f, 3.0f, 4.0f)), FieldCalls({{"X", "float 1.000000"},
                                                                  {"Y", "float 2.000000"},
                                                                  {"Z", "float 3.000000"},
                                                                  {"W", "float 4.000000"}}));
    const Vector4 saved(0.1f, -1e-30f, 3.4e38f, 1.0f);
    Save(saved);
    EXPECT_EQ(Load(Vector4(9.0f, 9.0f, 9.0f, 9.0f)), saved);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(MathSerializationTest, Color4WritesTruncatedBytesAlphaFirst)
{
    struct Case
    {
        Color4 colour;
        int a, r, g, b;
    };
    // Channels are truncated, never rounded or clamped: out-of-range values wrap to their low byte.
    const Case cases[] = {
        {{1.0f, 0.5f, 0.0f, 1.0f}, 255, 255, 127, 0},
        {{0.999f, 1.5f, -0.5f, 0.0f}, 0, 254, 126, 129},
        {{2.0f, 1.0f / 255.0f, 0.25f, 0.75f}, 191, 254, 1, 63},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(
            testing::PrintToString(std::vector<float>{c.colour.r, c.colour.g, c.colour.b, c.colour.a}));
        EXPECT_EQ(Calls(c.colour), FieldCalls({{"A", "u8 " + std::to_string(c.a)},
                                               {"R", "u8 " + std::to_string(c.r)},
                                               {"G", "u8 " + std::to_string(c.g)},
                                               {"B", "u8 " + std::to_string(c.b)}}));
        Save(c.colour);
        const Color4 loaded = Load(Color4(9.0f, 9.0f, 9.0f, 9.0f));
        EXPECT_EQ(loaded, Color4(static_cast<float>(c.r / 255.0), static_cast<float>(c.g / 255.0),
                                 static_cast<float>(c.b / 255.0), static_cast<float>(c.a / 255.0)));
    }
    EXPECT_EQ(m_errors.Count(), 0u);
}

// An output that hands back other values than it was given, as an editing inspector does.
class OverwritingOutput : public test::SerializerCallLog
{
public:
    void Serialize(std::uint8_t& value) override { value = 7; }
};

TEST_F(MathSerializationTest, WritingAColourNeverChangesIt)
{
    OverwritingOutput out;
    Color4 colour(1.0f, 0.5f, 0.25f, 1.0f);
    colour.Serialize(out);
    EXPECT_EQ(colour, Color4(1.0f, 0.5f, 0.25f, 1.0f));
}

TEST_F(MathSerializationTest, AbsentColourFieldsLeaveTheirChannels)
{
    const Color4 colour = LoadText("<G>51</G><A>0</A>", Color4(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_EQ(colour, Color4(0.5f, 0.2f, 0.5f, 0.0f));

    const RGBA packed = LoadText("<R>1</R><B>2</B>", RGBA(0xA0B0C0D0u));
    EXPECT_EQ(packed, RGBA(0xA001C002u));
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(MathSerializationTest, PackedColourRoundTripsItsFourBytes)
{
    const RGBA saved = RGBA::FromARGB(128, 255, 127, 0);
    EXPECT_EQ(Calls(saved), FieldCalls({{"A", "u8 128"}, {"R", "u8 255"}, {"G", "u8 127"}, {"B", "u8 0"}}));
    const std::string text = Save(saved);
    EXPECT_NE(text.find("<A>128</A>"), std::string::npos) << text;
    EXPECT_EQ(Load(RGBA(0x12345678u)), saved);
    EXPECT_EQ(m_errors.Count(), 0u);
}

} // namespace
} // namespace Quarn
