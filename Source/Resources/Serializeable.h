#pragma once

namespace Quarn
{

class Serializer;

// Base of every object that reads and writes itself through a Serializer (settings, components,
// prototypes, resources).
class Serializeable
{
public:
    virtual ~Serializeable() = default;
    // True when the object's group was present (input) or written (output) and handled.
    virtual bool Serialize(Serializer& serializer) = 0;
};

} // namespace Quarn
