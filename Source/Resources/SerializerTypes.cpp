#include "Resources/SerializerTypes.h"

#include <cctype>
#include <cstring>

namespace Quarn
{

std::string GetSerializedTag(const char*& name)
{
    const char* separator = std::strchr(name, ';');
    if (!separator)
    {
        std::string tag(name);
        name += tag.size();
        return tag;
    }
    std::string tag(name, separator);
    name = separator + 1;
    return tag;
}

bool IsUnusedTag(std::string_view tag)
{
    constexpr std::string_view unused = "unused";
    if (tag.size() != unused.size())
        return false;
    for (std::size_t i = 0; i < tag.size(); ++i)
    {
        if (std::tolower(static_cast<unsigned char>(tag[i])) != unused[i])
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
