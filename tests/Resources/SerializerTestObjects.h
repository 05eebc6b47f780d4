#pragma once

#include "Resources/Serializer.h"
#include "Resources/SerializerTypes.h"

#include <algorithm>
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

// One field of every type a serializer carries, each an optional part of its own, then a raw block
// (binary encodings only) and a list.
struct AllValues : Serializeable
{
    double d = 0.1;
    float f = 0.1f;
    unsigned long long u64 = 18446744073709551615ull;
    std::uint32_t u32 = 4294967295u;
    std::uint16_t u16 = 65535;
    std::uint8_t u8 = 200;
    long long i64 = -9223372036854775807ll - 1;
    std::int32_t i32 = -2147483647 - 1;
    std::int16_t i16 = -32768;
    std::int8_t i8 = -5;
    bool yes = true;
    bool no = false;
    std::string empty;
    std::string text = std::string("with\0nul", 8) + " and \xc3\xa9";
    char raw[3] = {'r', 'a', 'w'};
    std::vector<std::int32_t> list = {7, -8, 9};

    // Every field changed, so a read that misses one shows.
    static AllValues Other()
    {
        AllValues o;
        o.d = o.f = 3;
        o.u64 = o.u32 = o.u16 = o.u8 = 1;
        o.i64 = o.i32 = o.i16 = o.i8 = 1;
        o.yes = false;
        o.no = true;
        o.empty = "not empty";
        o.text.clear();
        o.raw[0] = o.raw[1] = o.raw[2] = 'x';
        o.list = {1};
        return o;
    }

    bool Serialize(Serializer& s) override
    {
        return InGroup(s, "Values",
                       [&]
                       {
                           SerializeNamed(s, d, "D");
                           SerializeNamed(s, f, "F");
                           SerializeNamed(s, u64, "U64");
                           SerializeNamed(s, u32, "U32");
                           SerializeNamed(s, u16, "U16");
                           SerializeNamed(s, u8, "U8");
                           SerializeNamed(s, i64, "I64");
                           SerializeNamed(s, i32, "I32");
                           SerializeNamed(s, i16, "I16");
                           SerializeNamed(s, i8, "I8");
                           SerializeNamed(s, yes, "Yes");
                           SerializeNamed(s, no, "No");
                           SerializeNamed(s, empty, "Empty");
                           SerializeNamed(s, text, "Text");
                           if (s.IsIllegible())
                               InGroup(s, "Raw", [&] { s.SerializeRaw(raw, sizeof(raw)); });
                           SerializeSequence(s, list, "unused;Item");
                       });
    }

    bool operator==(const AllValues& o) const
    {
        return d == o.d && f == o.f && u64 == o.u64 && u32 == o.u32 && u16 == o.u16 && u8 == o.u8 &&
               i64 == o.i64 && i32 == o.i32 && i16 == o.i16 && i8 == o.i8 && yes == o.yes && no == o.no &&
               empty == o.empty && text == o.text && std::equal(raw, raw + 3, o.raw) && list == o.list;
    }
};

} // namespace Quarn::test
