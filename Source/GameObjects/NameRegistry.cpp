#include "GameObjects/NameRegistry.h"

#include "GameObjects/Nameable.h"

#include <unordered_map>

namespace Quarn
{

namespace
{

std::unordered_multimap<std::string, GameObjectHandle>& Names()
{
    static std::unordered_multimap<std::string, GameObjectHandle> names = []
    {
        std::unordered_multimap<std::string, GameObjectHandle> map(8);
        map.max_load_factor(4.0f);
        return map;
    }();
    return names;
}

} // namespace

void NameRegistry::Register(const Nameable& nameable)
{
    if (!nameable.Name.empty())
        Names().emplace(nameable.Name, nameable.GetOwnerHandle());
}

void NameRegistry::Unregister(const Nameable& nameable)
{
    if (nameable.Name.empty())
        return;
    auto [first, last] = Names().equal_range(nameable.Name);
    for (auto entry = first; entry != last; ++entry)
        if (entry->second == nameable.GetOwnerHandle())
        {
            Names().erase(entry);
            return;
        }
}

GameObjectHandle NameRegistry::Lookup(const std::string& name)
{
    auto found = Names().find(name);
    return found == Names().end() ? GameObjectHandle{} : found->second;
}

} // namespace Quarn
