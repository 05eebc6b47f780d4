#include "Resources/XMLSerializer.h"

#include "Resources/SerializerTypes.h"

#include <boost/lexical_cast.hpp>
#include <cstdlib>
#include <cxxabi.h>
#include <tinyxml.h>

namespace Quarn
{

namespace
{

template <class T> bool TextOf(T value, std::string& text)
{
    return boost::conversion::try_lexical_convert(value, text);
}

} // namespace

XMLSerializer::XMLSerializer(const std::filesystem::path& path)
    : m_document(std::make_unique<TiXmlDocument>(path.string())), m_path(path)
{
}

XMLSerializer::~XMLSerializer() = default;

XMLSerializer::GroupName XMLSerializer::TakeGroupName(const char*& name)
{
    GroupName group{TakeSerializedTag(name), false};
    if (IsUnusedTag(group.element))
    {
        group.unused = true;
        group.element = name;
    }
    return group;
}

std::string XMLSerializer::Demangle(const char* mangled)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    if (!readable)
        return mangled;
    std::string name(readable);
    std::free(readable);
    return name;
}

bool XMLSerializer::ValueText(double value, std::string& text)
{
    return TextOf(value, text);
}

bool XMLSerializer::ValueText(float value, std::string& text)
{
    return TextOf(value, text);
}

bool XMLSerializer::ValueText(unsigned long long value, std::string& text)
{
    return TextOf(value, text);
}

bool XMLSerializer::ValueText(std::uint32_t value, std::string& text)
{
    return TextOf(value, text);
}

bool XMLSerializer::ValueText(std::uint16_t value, std::string& text)
{
    return TextOf(value, text);
}

bool XMLSerializer::ValueText(std::uint8_t value, std::string& text)
{
    return TextOf(static_cast<std::uint16_t>(value), text);
}

bool XMLSerializer::ValueText(long long value, std::string& text)
{
    return TextOf(value, text);
}

bool XMLSerializer::ValueText(std::int32_t value, std::string& text)
{
    return TextOf(value, text);
}

bool XMLSerializer::ValueText(std::int16_t value, std::string& text)
{
    return TextOf(value, text);
}

bool XMLSerializer::ValueText(std::int8_t value, std::string& text)
{
    return TextOf(static_cast<std::int16_t>(value), text);
}

bool XMLSerializer::ValueText(bool value, std::string& text)
{
    // What the conversion gives, as one character: GCC 12 at -O3 wrongly warns that copying a text
    // into the string overlaps.
    text.assign(1, value ? '1' : '0');
    return true;
}

} // namespace Quarn
