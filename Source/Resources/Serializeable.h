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
    virtual void Serialize(Serializer& serializer) = 0;
};

} // namespace Quarn
