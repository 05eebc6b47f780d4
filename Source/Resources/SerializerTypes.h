#pragma once

#include "Resources/Serializer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace Quarn
{

// The text of a serialized name before its first ';'. Moves name to the description: the character
// after that ';', or the terminating NUL when there is none.
std::string GetSerializedTag(const char*& name);
// The same tag as a view into the name's own characters: valid while they are.
std::string_view TakeSerializedTag(const char*& name);

// The tag of a group that only structures the call sequence ("unused", compared in lower case).
bool IsUnusedTag(std::string_view tag);

// A value inside its group: a type the serializer carries, a Serializeable, or a record that has an
// overload SerializeValue(Serializer&, Record&) of its own beside it.
template <class T> void SerializeValue(Serializer& s, T& value)
{
    if constexpr (std::is_base_of_v<Serializeable, T>)
        value.Serialize(s);
    else
        s.Serialize(value);
}

// One optional named part: present on input, or to be written on output, then its group around the
// value. Returns whether it was there.
template <class T> bool SerializeNamed(Serializer& s, T& value, const char* name)
{
    if (!s.Exists(name))
        return false;
    const char* group = name;
    s.BeginGroup(group);
    SerializeValue(s, value);
    s.EndGroup();
    return true;
}

// A named sequence: its group, the element count, then each element as a named part of its own under
// the same name. On input the container takes the count read.
template <class T, class Allocator>
bool SerializeSequence(Serializer& s, std::vector<T, Allocator>& items, const char* name)
{
    if (!s.Exists(name))
        return false;
    const char* group = name;
    s.BeginGroup(group);
    auto count = static_cast<std::uint32_t>(items.size());
    const char* sequence = name;
    s.SequenceSize(count, sequence);
    if (s.IsInput())
        items.resize(count);
    for (auto& item : items)
        SerializeNamed(s, item, name);
    s.EndGroup();
    return true;
}

// One attribute range of a mesh: the faces and vertices drawn with one attribute (material).
struct AttributeRange
{
    std::uint32_t attributeId = 0;
    std::uint32_t faceStart = 0;
    std::uint32_t faceCount = 0;
    std::uint32_t vertexStart = 0;
    std::uint32_t vertexCount = 0;
};

// Serialized under "AttributeID", "Face Count", "Face Start", "Vertex Count", "Vertex Start", in that
// order; mesh files depend on it.
void SerializeAttributeRange(Serializer& s, AttributeRange& range);

// A component's fields, inside an "unused" group so they sit directly in the element of the
// component's type. Nothing for an empty slot.
void SerializeComponentBody(Serializer& s, Serializeable* component);

// One component slot of a game object, inside the group of the component's type. Reading into an
// empty slot first fills it with create() (the creator of the type being read); writing an empty slot
// writes nothing.
template <class Component, class Create>
void SerializeComponentPointer(Serializer& s, Component*& slot, Create&& create)
{
    if (!slot && s.IsInput())
        slot = create();
    SerializeComponentBody(s, slot);
}

} // namespace Quarn
