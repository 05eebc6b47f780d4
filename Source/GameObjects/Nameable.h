#pragma once

#include "GameObjects/ComponentT.h"

#include <string>

namespace Quarn
{

// Gives its game object a name that scripts can look the object up by.
class Nameable : public ComponentT<Nameable>
{
public:
    static constexpr const char* kTypeName = "Nameable";

    // "Name".
    bool Serialize(Serializer& serializer) override;
    // "GetName".
    static void RegisterLuaMethods(lua_State* state);

    std::string Name;
};

} // namespace Quarn
