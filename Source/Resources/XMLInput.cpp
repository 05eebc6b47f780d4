#include "Resources/XMLInput.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Resources/XMLTextCheck.h"
#include "platform/io/ReadableFile.h"

#include <boost/lexical_cast.hpp>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <tinyxml.h>
#include <type_traits>

namespace Quarn
{

namespace
{

// Reports a failed check under the expression text that names it in the run log.
template <class... Args> void AssertFailedAs(const char* expression, int line, const char* fmt, Args... args)
{
    char message[OutputHandler::kMaxLine + 1];
    std::snprintf(message, sizeof(message), fmt, args...);
    const bool inLua = OutputHandler::Get().InLua();
    OutputHandler::Get().AssertFailed(expression, __FILE__, inLua, line, "%s", message);
    ThrowIfRestart(inLua);
}

// 8-bit values are read as numbers, through the 16-bit type of the same signedness.
template <class T>
using ParsedAs = std::conditional_t<std::is_same_v<T, std::uint8_t>, std::uint16_t,
                                    std::conditional_t<std::is_same_v<T, std::int8_t>, std::int16_t, T>>;

// Text of at most this many characters, written as PlainDecimalLength takes it, has a value far
// inside the normal range of float.
constexpr std::size_t kMaxPlainDecimal = 24;

// The length of text when it is an optional '-' and digits with at most one '.' between two of them,
// in at most kMaxPlainDecimal characters; otherwise 0.
std::size_t PlainDecimalLength(const char* text)
{
    const std::size_t first = *text == '-' ? 1 : 0;
    bool point = false;
    std::size_t i = first;
    for (; text[i] && i < kMaxPlainDecimal; ++i)
    {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        const bool between =
            text[i] == '.' && !point && i > first && text[i + 1] >= '0' && text[i + 1] <= '9';
        if (!digit && !between)
            return 0;
        point = point || between;
    }
    return i > first && !text[i] ? i : 0;
}

// Converts text as the library's conversion to Parsed does. Integers narrower than 32 bits go
// through 32 bits and are range-checked here: the library's own narrow conversion multiplies in int
// and overflows on long malformed digit strings.
template <class Parsed> bool ConvertText(const char* text, Parsed& parsed)
{
    // Numbers as files hold them: from_chars rounds such text to the nearest value, as the library's
    // stream conversion does, without building a stream for each.
    if constexpr (std::is_floating_point_v<Parsed>)
    {
        if (const std::size_t length = PlainDecimalLength(text))
        {
            const auto [end, error] = std::from_chars(text, text + length, parsed, std::chars_format::fixed);
            if (error == std::errc() && end == text + length)
                return true;
        }
    }
    if constexpr (std::is_integral_v<Parsed> && !std::is_same_v<Parsed, bool> && sizeof(Parsed) < 4)
    {
        std::int32_t wide = 0;
        if (!boost::conversion::try_lexical_convert(text, wide))
            return false;
        constexpr std::int32_t max = std::numeric_limits<Parsed>::max();
        constexpr std::int32_t min = std::numeric_limits<Parsed>::min();
        // As for any unsigned conversion, a minus sign wraps the magnitude.
        if (wide > max || wide < (std::is_unsigned_v<Parsed> ? -max : min))
            return false;
        parsed = static_cast<Parsed>(wide);
        return true;
    }
    else
        return boost::conversion::try_lexical_convert(text, parsed);
}

// The first element named name among node and the sibling nodes after it.
TiXmlElement* ElementNamed(TiXmlNode* node, std::string_view name)
{
    for (; node; node = node->NextSibling())
        if (node->Type() == TiXmlNode::TINYXML_ELEMENT && node->ValueStr() == name)
            return node->ToElement();
    return nullptr;
}

} // namespace

template <class T> bool XMLSerializer::ValueFromText(const char* text, T& value)
{
    ParsedAs<T> parsed;
    if (!ConvertText(text, parsed))
        return false;
    value = static_cast<T>(parsed);
    return true;
}

template bool XMLSerializer::ValueFromText(const char*, double&);
template bool XMLSerializer::ValueFromText(const char*, float&);
template bool XMLSerializer::ValueFromText(const char*, unsigned long long&);
template bool XMLSerializer::ValueFromText(const char*, std::uint32_t&);
template bool XMLSerializer::ValueFromText(const char*, std::uint16_t&);
template bool XMLSerializer::ValueFromText(const char*, std::uint8_t&);
template bool XMLSerializer::ValueFromText(const char*, long long&);
template bool XMLSerializer::ValueFromText(const char*, std::int32_t&);
template bool XMLSerializer::ValueFromText(const char*, std::int16_t&);
template bool XMLSerializer::ValueFromText(const char*, std::int8_t&);
template bool XMLSerializer::ValueFromText(const char*, bool&);

XMLInput::XMLInput(const std::filesystem::path& path) : XMLSerializer(path)
{
    platform::ReadableFile file;
    int error = file.Open(path.string(), 1);
    std::string text;
    if (!error)
    {
        text.reserve(file.Size() + kXMLParsePadding);
        text.resize(file.Size());
        std::size_t bytes = 0;
        error = file.ReadAll(text.data(), text.size(), bytes);
        text.resize(bytes);
    }
    if (error)
    {
        QUARN_REPORT("Could not read XML file \"%s\": %s", path.c_str(), std::strerror(error));
        return;
    }
    Parse(std::move(text));
}

XMLInput::XMLInput(const std::filesystem::path& name, std::string_view text) : XMLSerializer(name)
{
    Parse(std::string(text));
}

void XMLInput::Parse(std::string text)
{
    if (const std::string refusal = ParseCheckedXML(std::move(text), *m_document); !refusal.empty())
    {
        QUARN_REPORT("Could not read XML file \"%s\": %s", m_path.c_str(), refusal.c_str());
        return;
    }
    if (m_document->Error())
    {
        if (m_document->ErrorRow() > 0)
            QUARN_REPORT("Could not read XML file \"%s\": %s (line %d, column %d)", m_path.c_str(),
                         m_document->ErrorDesc(), m_document->ErrorRow(), m_document->ErrorCol());
        else
            QUARN_REPORT("Could not read XML file \"%s\": %s", m_path.c_str(), m_document->ErrorDesc());
        return;
    }
    m_current = m_document->RootElement();
    if (!m_current)
        QUARN_REPORT("Could not read XML file \"%s\": it has no element", m_path.c_str());
}

bool XMLInput::Exists(const char* name)
{
    const GroupName group = TakeGroupName(name);
    const bool exists =
        group.element.empty() || (Reading() && ElementNamed(m_current->FirstChild(), group.element));
    if (m_recorder)
        m_recorder->push_back(exists);
    return exists;
}

void XMLInput::EnterAbsent()
{
    m_groupKinds.push_back(GroupKind::Absent);
    ++m_absentDepth;
}

void XMLInput::BeginGroup(const char*& name)
{
    const GroupName group = TakeGroupName(name);
    if (group.element.empty())
    {
        m_groupKinds.push_back(GroupKind::Unused);
        return;
    }
    if (!Reading())
    {
        // Already reported: the file, or an enclosing group, is missing.
        EnterAbsent();
        return;
    }
    TiXmlElement* entered;
    if (m_lastEntered.size() > m_depth && m_lastEntered.back()->ValueStr() == group.element)
    {
        entered = ElementNamed(m_lastEntered.back()->NextSibling(), group.element);
        if (!entered)
        {
            EnterAbsent();
            AssertFailedAs("m_curLocation==NULL", __LINE__,
                           "Overstepped sequence bounds in XML file: \"%s\" for id \"%s\"!",
                           FileName().c_str(), std::string(group.element).c_str());
            return;
        }
        m_lastEntered.back() = entered;
    }
    else
    {
        entered = ElementNamed(m_current->FirstChild(), group.element);
        if (!entered)
        {
            EnterAbsent();
            AssertFailedAs("m_curLocation==0", __LINE__, "Could not find XML node \"%s\" in file \"%s\".",
                           std::string(group.element).c_str(), FileName().c_str());
            return;
        }
        if (m_lastEntered.size() > m_depth)
            m_lastEntered.back() = entered;
        else
            m_lastEntered.push_back(entered);
    }
    m_groupKinds.push_back(GroupKind::Element);
    m_current = entered;
    ++m_depth;
}

void XMLInput::EndGroup()
{
    QUARN_ASSERT(!m_groupKinds.empty(), "EndGroup without an open group in XML file \"%s\".",
                 FileName().c_str());
    if (m_groupKinds.empty())
        return;
    const GroupKind kind = m_groupKinds.back();
    m_groupKinds.pop_back();
    if (kind == GroupKind::Absent)
    {
        --m_absentDepth;
        return;
    }
    if (kind != GroupKind::Element)
        return;
    m_current = m_current->Parent()->ToElement();
    if (m_lastEntered.size() > m_depth)
        m_lastEntered.pop_back();
    --m_depth;
}

void XMLInput::SequenceSize(std::uint32_t& count, const char*& name)
{
    const char* rest = name;
    const GroupName group = TakeGroupName(rest);
    count = 0;
    if (group.element.empty() || !Reading())
        return;
    for (TiXmlElement* item = ElementNamed(m_current->FirstChild(), group.element); item;
         item = ElementNamed(item->NextSibling(), group.element))
        ++count;
}

const char* XMLInput::CurrentText() const
{
    const TiXmlNode* first = m_current->FirstChild();
    return first ? first->Value() : "";
}

template <class T> void XMLInput::Read(T& value)
{
    if (!Reading())
        return;
    const char* text = CurrentText();
    if (!ValueFromText(text, value))
        QUARN_REPORT("Failed to convert XML element '%s' value '%s' to type '%s' in file: \n%s\n..",
                     m_current->Value(), text, TypeName<ParsedAs<T>>().c_str(), m_path.c_str());
}

void XMLInput::Serialize(std::string& value)
{
    if (Reading())
        value = CurrentText();
}

} // namespace Quarn
