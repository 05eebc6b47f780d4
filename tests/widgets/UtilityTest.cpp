#include "widgets/Utility.h"

#include <gtest/gtest.h>

namespace Gui::Utility
{
namespace
{

TEST(UtilityTest, TextRoundTripsThroughUtf8AndBadBytesBecomeReplacements)
{
    const std::wstring wide = L"h\u00e9llo \u2713 \U0001F600";
    const std::string narrow = UnicodeToString(wide);
    EXPECT_EQ(narrow, "h\xC3\xA9llo \xE2\x9C\x93 \xF0\x9F\x98\x80");
    EXPECT_EQ(StringToUnicode(narrow), wide);
    const struct
    {
        const char* what;
        std::string bytes;
        std::wstring wide;
    } bad[] = {
        {"lone continuation",
         "a\x80"
         "b",
         L"a\xFFFD"
         L"b"},
        {"cut sequence", "a\xE2\x9C", L"a\xFFFD\xFFFD"},
        {"over-long slash", "\xC0\xAF", L"\xFFFD\xFFFD"},
        {"surrogate", "\xED\xA0\x80", L"\xFFFD\xFFFD\xFFFD"},
    };
    for (const auto& c : bad)
        EXPECT_EQ(StringToUnicode(c.bytes), c.wide) << c.what;
    std::wstring face;
    AssignFromString(face, "DejaVu Sans");
    EXPECT_EQ(face, L"DejaVu Sans");
}

TEST(UtilityTest, SplitKeepsEmptyEndsAndOptionallyItsSeparators)
{
    const struct
    {
        std::string text;
        bool keep;
        std::vector<std::string> pieces;
    } cases[] = {
        {"a b", false, {"a", "b"}}, {"a b", true, {"a", " b"}},          {"a b ", false, {"a", "b", ""}},
        {"", false, {""}},          {"a::b::c", false, {"a", "b", "c"}},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> pieces{"before"};
        Split(c.text, c.text.find("::") != std::string::npos ? "::" : " ", pieces, c.keep);
        pieces.erase(pieces.begin());
        EXPECT_EQ(pieces, c.pieces) << c.text << c.keep;
    }
    std::vector<std::wstring> wide;
    Split(std::wstring_view(L"x,y"), L",", wide);
    EXPECT_EQ(wide, (std::vector<std::wstring>{L"x", L"y"}));
}

TEST(UtilityTest, ConversionsReadWhatTheyCanAndRefuseWrongCounts)
{
    using namespace Strings::To;
    for (const auto& [text, value] : {std::pair{"yes", true}, std::pair{"0", false}, std::pair{"2", true},
                                      std::pair{"", false}, std::pair{"False", false}, std::pair{"T", true}})
        EXPECT_EQ(Bool(text), value) << text;
    EXPECT_EQ(Int(""), 0);
    EXPECT_EQ(Int("42x"), 42);
    EXPECT_EQ(Float("0.5"), 0.5f);
    float out[3] = {7, 7, 7};
    EXPECT_FALSE(Floats("1 2", out, 3));
    EXPECT_EQ(out[0], 7.0f);
    EXPECT_TRUE(Floats("1 2.5 -3", out, 3));
    EXPECT_EQ(out[1], 2.5f);
    EXPECT_EQ(out[2], -3.0f);
    EXPECT_EQ(Format(L"%d:%ls", 7, L"x"), L"7:x");
}

} // namespace
} // namespace Gui::Utility
