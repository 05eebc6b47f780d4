#pragma once

#include <cstdint>

namespace Quarn
{

// Base of every resource the ResourceManager loads and hands out by name.
class ResourceBase
{
public:
    virtual ~ResourceBase() = default;
};

// The next value of the process's running resource counter: device resources take one when they are
// made, so that drawing can order and group objects by the resources they use. It starts at 1 and
// wraps after 65535 ids.
std::uint16_t NextResourceId();

} // namespace Quarn
