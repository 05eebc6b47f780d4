#include "Resources/SerializerTypes.h"

namespace Quarn
{

std::string_view TakeSerializedTag(const char*& name)
{
    // Names are a few characters: a plain loop beats the library's searches, which XML reading does
    // several times for each group.
    std::size_t length = 0;
    while (name[length] && name[length] != ';')
        ++length;
    const std::string_view tag(name, length);
    name += name[length] ? length + 1 : length;
    return tag;
}

std::string GetSerializedTag(const char*& name)
{
    return std::string(TakeSerializedTag(name));
}

bool IsUnusedTag(std::string_view tag)
{
    // Setting bit 5 takes only 'U' and 'u' to 'u', and so for each letter of the word.
    constexpr std::string_view unused = "unused";
    if (tag.size() != unused.size())
        return false;
    for (std::size_t i = 0; i < tag.size(); ++i)
    {
        if ((tag[i] | 0x20) != unused[i])
            return false;
    }
    return true;
}

void SerializeAttributeRange(Serializer& s, AttributeRange& range)
{
    SerializeNamed(s, range.attributeId, "AttributeID");
    SerializeNamed(s, range.faceCount, "Face Count");
    SerializeNamed(s, range.faceStart, "Face Start");
    SerializeNamed(s, range.vertexCount, "Vertex Count");
    SerializeNamed(s, range.vertexStart, "Vertex Start");
}

void SerializeComponentBody(Serializer& s, Serializeable* component)
{
    if (!component || !s.Exists("unused"))
        return;
    s.BeginGroup("unused");
    component->Serialize(s);
    s.EndGroup();
}

} // namespace Quarn
