#pragma once

#include "Resources/Serializer.h"
#include "Resources/SerializerTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Quarn::test
{

// Opens a group the way every Serialize does for an optional part; returns whether it was there.
inline bool InGroup(Serializer& s, const char* name, const std::function<void()>& body)
{
    if (!s.Exists(name))
        return false;
    const char* group = name;
    s.BeginGroup(group);
    body();
    s.EndGroup();
    return true;
}

// A component slot: the type group, then the body inside an "unused" group.
inline bool InComponent(Serializer& s, const char* type, const std::function<void()>& body)
{
    return InGroup(s, type, [&] { InGroup(s, "unused", body); });
}

// A small game object: two components with fields (one nested a level deeper), a component without
// fields, and an archetype list.
struct TestShip : Serializeable
{
    std::vector<std::string> archetypes = {"Ship"};
    float speed = 1.5f;
    std::int32_t lane = 2;
    std::string name = "ship";
    float deep = 0.25f;
    std::uint8_t layer = 3;
    bool hasCamera = true;

    bool Serialize(Serializer& s) override
    {
        return InGroup(s, "Object",
                       [&]
                       {
                           SerializeSequence(s, archetypes, "unused;Archetype");
                           InComponent(s, "Motion",
                                       [&]
                                       {
                                           SerializeNamed(s, speed, "Speed");
                                           SerializeNamed(s, lane, "Lane");
                                       });
                           InComponent(s, "Body",
                                       [&]
                                       {
                                           SerializeNamed(s, name, "Name");
                                           InGroup(s, "Inner",
                                                   [&]
                                                   {
                                                       SerializeNamed(s, deep, "Deep");
                                                       SerializeNamed(s, layer, "Layer");
                                                   });
                                       });
                           if (s.IsInput() || hasCamera)
                               hasCamera = InComponent(s, "Camera", [] {});
                       });
    }

    bool operator==(const TestShip& other) const
    {
        return archetypes == other.archetypes && speed == other.speed && lane == other.lane &&
               name == other.name && deep == other.deep && layer == other.layer &&
               hasCamera == other.hasCamera;
    }
};

} // namespace Quarn::test
