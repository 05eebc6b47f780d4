#include "Resources/XMLTextCheck.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <tinyxml.h>

namespace Quarn
{

namespace
{

// Eight bytes at a time: documents are mostly ASCII indentation and short values between tags.
constexpr std::uint64_t kLowBits = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kLowSevenBits = 0x7F7F7F7F7F7F7F7Full;

std::uint64_t LoadWord(const char* bytes)
{
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof(word));
    return word;
}

// The high bit of each byte of the word that is zero. No carry crosses from one byte to the next.
constexpr std::uint64_t ZeroBytes(std::uint64_t word)
{
    return ~(((word & kLowSevenBits) + kLowSevenBits) | word | kLowSevenBits);
}

// Offset in memory of the first byte that ZeroBytes marked.
constexpr std::size_t FirstMarked(std::uint64_t marks)
{
    const int bits =
        std::endian::native == std::endian::little ? std::countr_zero(marks) : std::countl_zero(marks);
    return static_cast<std::size_t>(bits) / 8;
}

// Offset of the first byte that does not belong to a well-formed UTF-8 sequence (overlong forms,
// surrogates and code points above U+10FFFF included), or of the first NUL byte.
std::optional<std::size_t> FirstBadByte(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;)
    {
        // Sixteen ASCII bytes without a zero at a time: the bulk of every document.
        if (size - i >= 16)
        {
            const std::uint64_t first = LoadWord(text.data() + i);
            const std::uint64_t second = LoadWord(text.data() + i + 8);
            if ((((first | second) & kHighBits) | ZeroBytes(first) | ZeroBytes(second)) == 0)
            {
                i += 16;
                continue;
            }
        }
        const unsigned char lead = bytes[i];
        if (lead == 0)
            return i;
        if (lead < 0x80)
        {
            ++i;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
        {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        }
        else if (lead >= 0xF0 && lead <= 0xF4)
        {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        }
        else
            return i;
        if (size - i < length || bytes[i + 1] < low || bytes[i + 1] > high)
            return i;
        for (std::size_t k = 2; k < length; ++k)
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF)
                return i;
        i += length;
    }
    return std::nullopt;
}

enum CharClass : std::uint8_t
{
    kNameStart = 1,
    kNameChar = 2,
    kSpace = 4,
};

constexpr std::array<std::uint8_t, 256> kCharClasses = []
{
    std::array<std::uint8_t, 256> classes{};
    for (std::size_t c = 0; c < classes.size(); ++c)
    {
        const bool start = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
        if (start)
            classes[c] |= kNameStart | kNameChar;
        if ((c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':')
            classes[c] |= kNameChar;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            classes[c] |= kSpace;
    }
    return classes;
}();

bool Is(CharClass charClass, char c)
{
    return (kCharClasses[static_cast<unsigned char>(c)] & charClass) != 0;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Walks the markup of a document whose bytes are already known to be sound. Every section it steps
// over ends where the XML library ends it too (comments at "-->", CDATA at "]]>", other "<!" and "<?"
// markup at the first '>', attribute values at their closing quote), so the depth it counts is the
// depth the library will recurse to. A step that fails records why and stops where the fault is.
class MarkupWalk
{
public:
    explicit MarkupWalk(std::string_view text) : m_text(text) {}

    std::string Run()
    {
        if (m_text.starts_with("\xEF\xBB\xBF"))
            m_pos = 3;
        for (;;)
        {
            SkipText();
            if (m_pos == m_text.size())
                break;
            if (!(m_text[m_pos] == '<' ? Markup() : Reference()))
                return Refusal();
        }
        if (m_depth != 0)
        {
            Refuse("an element is not closed");
            return Refusal();
        }
        return {};
    }

private:
    bool At(std::string_view token) const { return m_text.substr(m_pos).starts_with(token); }
    char Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }

    bool Refuse(std::string why)
    {
        m_why = std::move(why);
        return false;
    }

    std::string Refusal() const
    {
        const std::size_t at = std::min(m_pos, m_text.size());
        const auto line =
            1 + std::count(m_text.begin(), m_text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
        return m_why + " (line " + std::to_string(line) + ")";
    }

    // Moves to the next '<' or '&', or to the end of the text.
    void SkipText()
    {
        constexpr std::uint64_t kOpen = kLowBits * '<';
        constexpr std::uint64_t kAmpersand = kLowBits * '&';
        const char* bytes = m_text.data();
        const std::size_t size = m_text.size();
        for (; m_pos + 8 <= size; m_pos += 8)
        {
            const std::uint64_t word = LoadWord(bytes + m_pos);
            if (const std::uint64_t marks = ZeroBytes(word ^ kOpen) | ZeroBytes(word ^ kAmpersand))
            {
                m_pos += FirstMarked(marks);
                return;
            }
        }
        while (m_pos < size && bytes[m_pos] != '<' && bytes[m_pos] != '&')
            ++m_pos;
    }

    // Moves past the end token; refuses with why when the text ends first.
    bool SkipPast(std::string_view end, const char* why)
    {
        const std::size_t found = m_text.find(end, m_pos);
        if (found == std::string_view::npos)
            return Refuse(why);
        m_pos = found + end.size();
        return true;
    }

    void SkipSpace()
    {
        while (Is(kSpace, Peek()))
            ++m_pos;
    }

    bool Name()
    {
        if (!Is(kNameStart, Peek()))
            return false;
        while (Is(kNameChar, Peek()))
            ++m_pos;
        return true;
    }

    bool Markup()
    {
        const char kind = m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : '\0';
        if (kind == '!')
        {
            if (At("<!--"))
                return SkipPast("-->", "a comment does not end");
            if (At("<![CDATA["))
                return SkipPast("]]>", "a CDATA section does not end");
            return SkipPast(">", "a declaration does not end");
        }
        if (kind == '?')
            return Instruction();
        if (kind == '/')
            return EndTag();
        return StartTag();
    }

    // "<?name attribute="value" ...?>". The library reads some of these attributes by value and steps
    // over the others word by word, so a value here holds no white space: both ways then end where
    // the value does.
    bool Instruction()
    {
        m_pos += 2;
        if (!Name())
            return Refuse("a processing instruction has no name");
        for (;;)
        {
            const bool spaced = Is(kSpace, Peek());
            SkipSpace();
            if (At("?>"))
            {
                m_pos += 2;
                return true;
            }
            if (!spaced)
                return Refuse("a processing instruction is malformed");
            if (!Attribute(true))
                return false;
        }
    }

    bool EndTag()
    {
        m_pos += 2;
        if (!Name())
            return Refuse("an end tag has no name");
        SkipSpace();
        if (Peek() != '>')
            return Refuse("an end tag is malformed");
        ++m_pos;
        if (m_depth == 0)
            return Refuse("an end tag closes no element");
        --m_depth;
        return true;
    }

    bool StartTag()
    {
        ++m_pos;
        if (!Name())
            return Refuse("a '<' starts no element");
        if (m_depth == kMaxXMLDepth)
            return Refuse("elements nest deeper than " + std::to_string(kMaxXMLDepth) + " levels");
        for (;;)
        {
            const bool spaced = Is(kSpace, Peek());
            SkipSpace();
            if (At("/>"))
            {
                m_pos += 2;
                return true;
            }
            if (Peek() == '>')
            {
                ++m_pos;
                ++m_depth;
                return true;
            }
            if (!spaced)
                return Refuse("a start tag is malformed");
            if (!Attribute(false))
                return false;
        }
    }

    // name = "value" or name = 'value'.
    bool Attribute(bool inInstruction)
    {
        if (!Name())
            return Refuse("an attribute has no name");
        SkipSpace();
        if (Peek() != '=')
            return Refuse("an attribute has no value");
        ++m_pos;
        SkipSpace();
        const char quote = Peek();
        if (quote != '"' && quote != '\'')
            return Refuse("an attribute value is not quoted");
        ++m_pos;
        while (Peek() != quote)
        {
            if (Peek() == '\0' || Peek() == '<' || Peek() == '>')
                return Refuse("an attribute value does not end");
            if (inInstruction && Is(kSpace, Peek()))
                return Refuse("a value in a processing instruction holds white space");
            if (Peek() == '&')
            {
                if (!Reference())
                    return false;
            }
            else
                ++m_pos;
        }
        ++m_pos;
        return true;
    }

    // "&name;" for the five predefined entities, "&#digits;" or "&#xhex;" up to U+10FFFF.
    bool Reference()
    {
        for (std::string_view entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
            if (At(entity))
            {
                m_pos += entity.size();
                return true;
            }
        const bool hex = At("&#x");
        if (!hex && !At("&#"))
            return Refuse("a '&' starts no character or entity reference");
        m_pos += hex ? 3 : 2;
        std::uint32_t code = 0;
        std::size_t digits = 0;
        for (; Peek() != ';'; ++m_pos, ++digits)
        {
            const char c = Peek();
            if (hex ? !IsHexDigit(c) : !(c >= '0' && c <= '9'))
                return Refuse("a character reference is malformed");
            const std::uint32_t digit = c <= '9' ? static_cast<std::uint32_t>(c - '0')
                                                 : static_cast<std::uint32_t>((c | 0x20) - 'a' + 10);
            code = code * (hex ? 16u : 10u) + digit;
            if (code > 0x10FFFF)
                return Refuse("a character reference names no character");
        }
        if (digits == 0 || code == 0)
            return Refuse("a character reference names no character");
        ++m_pos;
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_depth = 0;
    std::string m_why;
};

// Keeps string white space while one document is parsed, and leaves the library's setting as it was.
class KeepWhiteSpace
{
public:
    KeepWhiteSpace() : m_condensed(TiXmlBase::IsWhiteSpaceCondensed())
    {
        TiXmlBase::SetCondenseWhiteSpace(false);
    }
    ~KeepWhiteSpace() { TiXmlBase::SetCondenseWhiteSpace(m_condensed); }
    KeepWhiteSpace(const KeepWhiteSpace&) = delete;
    KeepWhiteSpace& operator=(const KeepWhiteSpace&) = delete;

private:
    bool m_condensed;
};

} // namespace

std::string CheckXMLText(std::string_view text)
{
    if (const std::optional<std::size_t> bad = FirstBadByte(text))
    {
        const bool nul = text[*bad] == '\0';
        return std::string(nul ? "it holds a NUL byte" : "it is not valid UTF-8") + " (byte " +
               std::to_string(*bad) + ")";
    }
    return MarkupWalk(text).Run();
}

std::string ParseCheckedXML(std::string text, TiXmlDocument& document)
{
    if (std::string refusal = CheckXMLText(text); !refusal.empty())
        return refusal;
    if (text.find('\r') != std::string::npos)
    {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < text.size(); ++i)
        {
            if (text[i] != '\r')
                text[kept++] = text[i];
            else if (i + 1 == text.size() || text[i + 1] != '\n')
                text[kept++] = '\n';
        }
        text.resize(kept);
    }
    // The library reads a little past a character it takes apart; the padding keeps that inside.
    text.append(kXMLParsePadding, '\0');
    KeepWhiteSpace keep;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    return {};
}

} // namespace Quarn
