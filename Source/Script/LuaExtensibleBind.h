#pragma once

#include "Script/LuaBasicBind.h"

#include <string>

namespace Quarn
{

// Binding of engine objects that scripts extend with fields of their own (game objects). Each
// identity carries an environment table: fields a script stores live there and shadow methods, and
// keys the object lacks fall through to the class's methods. The method table is also a global, so
// scripts can add methods to every object of the class.
class LuaExtensibleBind : public LuaBasicBind
{
public:
    LuaExtensibleBind(const std::type_info& type, RegisterCallback callback, std::string globalName);

    const std::string& GlobalName() const { return m_globalName; }

protected:
    void Register(lua_State* state) override;
    void Create(lua_State* state, void* object) override;

private:
    std::string m_globalName;
};

} // namespace Quarn
