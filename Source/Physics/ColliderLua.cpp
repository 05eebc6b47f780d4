#include "GameObjects/ComponentHandle.h"
#include "Physics/Collider.h"
#include "Script/LuaMethods.h"

#include <stdexcept>

namespace Quarn
{

namespace
{
namespace Methods
{

using Handle = ComponentHandle<Collider>;

void Assign(Handle& self, ComponentHandle<Collider> source)
{
    Collider* collider = self.Resolve();
    const Collider* from = source.Resolve();
    if (collider && from)
        collider->Assign(*from);
}

void SetNoCollideLayer(Handle& self, double index, bool set)
{
    // Written so that NaN is refused too.
    if (!(index >= 0.0 && index < 32.0))
        throw std::out_of_range("invalid bitset<N> position");
    Collider* collider = self.Resolve();
    if (!collider)
        return;
    const std::uint32_t bit = 1u << static_cast<unsigned>(index);
    collider->NoCollideLayer = set ? collider->NoCollideLayer | bit : collider->NoCollideLayer & ~bit;
}

} // namespace Methods
} // namespace

void Collider::RegisterLuaMethods(lua_State* state)
{
    LuaMethods<Methods::Handle>(state, LuaMethod<&Methods::Assign>("Assign"),
                                LuaMethod<&Methods::SetNoCollideLayer>("SetNoCollideLayer"));
}

} // namespace Quarn
