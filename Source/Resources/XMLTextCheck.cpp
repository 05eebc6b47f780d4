#include "Resources/XMLTextCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <tinyxml.h>

namespace Quarn
{

namespace
{

// Offset of the first byte that does not belong to a well-formed UTF-8 sequence (overlong forms,
// surrogates and code points above U+10FFFF included), or of the first NUL byte.
std::optional<std::size_t> FirstBadByte(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;)
    {
        // Eight ASCII bytes without a zero at a time: the bulk of every document.
        if (size - i >= 8)
        {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, 8);
            constexpr std::uint64_t kHigh = 0x8080808080808080ull;
            constexpr std::uint64_t kLow = 0x0101010101010101ull;
            if (((word | ((word - kLow) & ~word)) & kHigh) == 0)
            {
                i += 8;
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

bool IsNameStart(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || byte == '_' || byte >= 0x80;
}

bool IsNameChar(char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Walks the markup of a document whose bytes are already known to be sound. Every section it steps
// over ends where the XML library ends it too (comments at "-->", CDATA at "]]>", other "<!" and "<?"
// markup at the first '>', attribute values at their closing quote), so the depth it counts is the
// depth the library will recurse to.
class MarkupWalk
{
public:
    explicit MarkupWalk(std::string_view text) : m_text(text) {}

    std::string Run()
    {
        if (m_text.starts_with("\xEF\xBB\xBF"))
            m_pos = 3;
        while (m_pos < m_text.size())
        {
            std::string refusal;
            if (m_text[m_pos] == '<')
                refusal = Markup();
            else if (m_text[m_pos] == '&')
                refusal = Reference();
            else
                ++m_pos;
            if (!refusal.empty())
                return refusal;
        }
        if (m_depth != 0)
            return Refuse("an element is not closed");
        return {};
    }

private:
    bool At(std::string_view token) const { return m_text.substr(m_pos).starts_with(token); }
    char Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }

    std::string Refuse(std::string_view why) const
    {
        const std::size_t at = std::min(m_pos, m_text.size());
        const auto line =
            1 + std::count(m_text.begin(), m_text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
        return std::string(why) + " (line " + std::to_string(line) + ")";
    }

    // Moves past the end token; false when the text ends first.
    bool SkipPast(std::string_view end)
    {
        const std::size_t found = m_text.find(end, m_pos);
        if (found == std::string_view::npos)
            return false;
        m_pos = found + end.size();
        return true;
    }

    void SkipSpace()
    {
        while (IsSpace(Peek()))
            ++m_pos;
    }

    bool Name()
    {
        if (!IsNameStart(Peek()))
            return false;
        while (IsNameChar(Peek()))
            ++m_pos;
        return true;
    }

    std::string Markup()
    {
        if (At("<!--"))
            return SkipPast("-->") ? std::string() : Refuse("a comment does not end");
        if (At("<![CDATA["))
            return SkipPast("]]>") ? std::string() : Refuse("a CDATA section does not end");
        if (At("<!"))
            return SkipPast(">") ? std::string() : Refuse("a declaration does not end");
        if (At("<?"))
            return Instruction();
        if (At("</"))
            return EndTag();
        return StartTag();
    }

    // "<?name attribute="value" ...?>". The library reads some of these attributes by value and steps
    // over the others word by word, so a value here holds no white space: both ways then end where
    // the value does.
    std::string Instruction()
    {
        m_pos += 2;
        if (!Name())
            return Refuse("a processing instruction has no name");
        for (;;)
        {
            const bool spaced = IsSpace(Peek());
            SkipSpace();
            if (At("?>"))
            {
                m_pos += 2;
                return {};
            }
            if (!spaced)
                return Refuse("a processing instruction is malformed");
            if (std::string refusal = Attribute(true); !refusal.empty())
                return refusal;
        }
    }

    std::string EndTag()
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
        return {};
    }

    std::string StartTag()
    {
        ++m_pos;
        if (!Name())
            return Refuse("a '<' starts no element");
        if (m_depth == kMaxXMLDepth)
            return Refuse("elements nest deeper than " + std::to_string(kMaxXMLDepth) + " levels");
        for (;;)
        {
            const bool spaced = IsSpace(Peek());
            SkipSpace();
            if (At("/>"))
            {
                m_pos += 2;
                return {};
            }
            if (Peek() == '>')
            {
                ++m_pos;
                ++m_depth;
                return {};
            }
            if (!spaced)
                return Refuse("a start tag is malformed");
            if (std::string refusal = Attribute(false); !refusal.empty())
                return refusal;
        }
    }

    // name = "value" or name = 'value'.
    std::string Attribute(bool inInstruction)
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
            if (inInstruction && IsSpace(Peek()))
                return Refuse("a value in a processing instruction holds white space");
            if (Peek() == '&')
            {
                if (std::string refusal = Reference(); !refusal.empty())
                    return refusal;
            }
            else
                ++m_pos;
        }
        ++m_pos;
        return {};
    }

    // "&name;" for the five predefined entities, "&#digits;" or "&#xhex;" up to U+10FFFF.
    std::string Reference()
    {
        for (std::string_view entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
            if (At(entity))
            {
                m_pos += entity.size();
                return {};
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
        return {};
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_depth = 0;
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
