#include "GameObjects/ComponentHandle.h"
#include "GameObjects/Nameable.h"
#include "Script/LuaMethods.h"

#include <string>

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<Nameable>;

// The empty string once the object is gone.
std::string GetName(Handle& self)
{
    const Nameable* nameable = self.Resolve();
    return nameable ? nameable->Name : std::string();
}

} // namespace Methods
} // namespace

void Nameable::RegisterLuaMethods(lua_State* state)
{
    LuaMethods<Methods::Handle>(state, LuaMethod<&Methods::GetName>("GetName"));
}

} // namespace Quarn
