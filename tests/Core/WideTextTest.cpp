#include "Core/WideText.h"

#include <gtest/gtest.h>

#include <clocale>

namespace Quarn
{
namespace
{

TEST(WideTextTest, Utf8DecodesToCodePointsWithinTheLimit)
{
    struct Case
    {
        const char* utf8;
        std::size_t maxChars;
        std::wstring wide;
    };
    const Case cases[] = {
        {"plain", 512, L"plain"},
        {"\xC3\xA4iti \xE2\x82\xAC \xF0\x9F\x98\x80", 512, L"\u00E4iti \u20AC \U0001F600"},
        {"\xC3\xA4iti", 2, L"\u00E4i"},
        {"", 512, L""},
        // Malformed bytes are skipped: a stray continuation byte, a truncated sequence, an overlong form.
        {"a\x80"
         "b\xE2\x82"
         "c\xC0\xAF"
         "d",
         512, L"abcd"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WideFromUtf8(c.utf8, c.maxChars), c.wide) << c.utf8;
    EXPECT_EQ(WideFromUtf8(nullptr, 512), L"");
}

TEST(WideTextTest, WideEncodesToUtf8WithoutSplittingACharacter)
{
    struct Case
    {
        std::wstring wide;
        std::size_t maxBytes;
        std::string utf8;
    };
    const Case cases[] = {
        {L"\u00E4iti \u20AC \U0001F600", 512, "\xC3\xA4iti \xE2\x82\xAC \xF0\x9F\x98\x80"},
        // The euro sign needs three bytes and only two are left.
        {L"ab\u20AC", 4, "ab"},
        {L"ab\u20AC", 5, "ab\xE2\x82\xAC"},
        {std::wstring(L"a") + static_cast<wchar_t>(0xD800) + L"b" + static_cast<wchar_t>(0x110000), 512,
         "ab"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8FromWide(c.wide, c.maxBytes), c.utf8);
}

TEST(WideTextTest, TheCLocaleHasNoSayInTheConversion)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(WideFromUtf8("\xC3\xA4", 512), L"\u00E4");
    EXPECT_EQ(Utf8FromWide(L"\u00E4", 512), "\xC3\xA4");
    std::setlocale(LC_ALL, previous.c_str());
}

} // namespace
} // namespace Quarn
