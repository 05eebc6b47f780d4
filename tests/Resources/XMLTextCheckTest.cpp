#include "Resources/XMLTextCheck.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace Quarn
{
namespace
{

std::string Nested(std::size_t levels)
{
    std::string text;
    for (std::size_t i = 0; i < levels; ++i)
        text += "<a>";
    for (std::size_t i = 0; i < levels; ++i)
        text += "</a>";
    return text;
}

TEST(XMLTextCheckTest, DocumentsTheEngineWritesAndReadsAreAccepted)
{
    const std::string accepted[] = {
        "<?xml version=\"1.0\" ?>\n<root><Object><Transform/></Object></root>\n",
        "\xEF\xBB\xBF<root>byte order mark</root>",
        "<?xml version='1.0' encoding=\"UTF-8\" standalone='yes'?><!DOCTYPE root><root/>",
        "<root><!-- a < b & c --><![CDATA[<not> & markup]]></root>",
        "<root a=\"1\" b='two &amp; &#65; &#x10FFFF;'>x &lt; y &gt; z &quot;&apos;</root>",
        "<root>\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9A\x80</root>",
        "<root>\n  <Name>tabs\tand\r\nlines</Name>\n</root>\n",
        Nested(kMaxXMLDepth),
    };
    for (const std::string& text : accepted)
        EXPECT_EQ(CheckXMLText(text), "") << text.substr(0, 80);
}

TEST(XMLTextCheckTest, InputTheLibraryCouldMisreadIsRefusedWithItsPlace)
{
    const struct
    {
        std::string text;
        const char* refusal;
    } cases[] = {
        {Nested(kMaxXMLDepth + 1), "elements nest deeper than 1024 levels (line 1)"},
        {"<root>\n\n<a/>" + Nested(kMaxXMLDepth) + "</root>",
         "elements nest deeper than 1024 levels (line 3)"},
        // A lead byte at the very end announces bytes beyond the text.
        {"<root>\xF0", "it is not valid UTF-8 (byte 6)"},
        {"<root>\xC0\xAF</root>", "it is not valid UTF-8 (byte 6)"},     // overlong '/'
        {"<root>\xED\xA0\x80</root>", "it is not valid UTF-8 (byte 6)"}, // surrogate
        {"<root>\xF4\x90\x80\x80</root>", "it is not valid UTF-8 (byte 6)"},
        {"<root>\x80</root>", "it is not valid UTF-8 (byte 6)"},
        {std::string("<root>\0</root>", 14), "it holds a NUL byte (byte 6)"},
        {"<root>&#x", "a character reference is malformed"},
        {"<root>&#x110000;</root>", "a character reference names no character"},
        {"<root>&#;</root>", "a character reference names no character"},
        {"<root>&nbsp;</root>", "a '&' starts no character or entity reference"},
        {"<root a=1/>", "an attribute value is not quoted"},
        {"<root a=\"x/>", "an attribute value does not end"},
        {"<root a=\"1\"b=\"2\"/>", "a start tag is malformed"},
        {"<root><!-- open", "a comment does not end"},
        {"<root><![CDATA[ open", "a CDATA section does not end"},
        {"<!DOCTYPE root", "a declaration does not end"},
        // The library reads the version's quoted value past the first '>' of the declaration.
        {"<?xml version=\"1.0>\n</a></a>\"?><root/>", "an attribute value does not end (line 1)"},
        {"<?xml a=\" version='\" ?><root/>", "a value in a processing instruction holds white space"},
        {"<root></root></root>", "an end tag closes no element"},
        {"<root><a>", "an element is not closed (line 1)"},
        {"<root><1/></root>", "a '<' starts no element"},
        {"<root></ a></root>", "an end tag has no name"},
    };
    for (const auto& c : cases)
        EXPECT_THAT(CheckXMLText(c.text), testing::StartsWith(c.refusal)) << c.text.substr(0, 80);
}

// Runs of text are scanned several bytes at a time: wherever a piece falls in a long run, good text is
// accepted and a fault refused at its own byte or line.
TEST(XMLTextCheckTest, EveryPlaceInALongRunOfTextIsChecked)
{
    using namespace std::string_literals;
    const struct
    {
        std::string piece;
        std::string refusal; // with " (byte N)" or " (line N)" added; empty: accepted
    } cases[] = {
        {"&amp;&#x20AC;<a/>\xE2\x82\xAC\xF0\x9F\x9A\x80", ""},
        {"\x80", "it is not valid UTF-8"},
        {"\xE2\x82", "it is not valid UTF-8"},
        {"\0"s, "it holds a NUL byte"},
        {"&nbsp;", "a '&' starts no character or entity reference"},
        {"<1/>", "a '<' starts no element"},
    };
    const std::string prefix = "<root>";
    for (std::size_t at = 0; at < 40; ++at)
    {
        std::string before, after;
        for (std::size_t i = 0; i < at; ++i)
            before += i % 7 == 6 ? '\n' : ' ';
        for (std::size_t i = at; i < 40; ++i)
            after += i % 7 == 6 ? '\n' : ' ';
        const std::string line = std::to_string(1 + std::count(before.begin(), before.end(), '\n'));
        for (const auto& c : cases)
        {
            const std::string text = prefix + before + c.piece + after + "</root>";
            const bool byByte = c.refusal.starts_with("it ");
            const std::string expected =
                c.refusal.empty() ? ""
                : byByte          ? c.refusal + " (byte " + std::to_string(prefix.size() + at) + ")"
                                  : c.refusal + " (line " + line + ")";
            EXPECT_EQ(CheckXMLText(text), expected) << at << ": " << c.refusal;
        }
    }
}

} // namespace
} // namespace Quarn
