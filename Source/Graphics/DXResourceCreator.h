#pragma once

#include "Resources/ResourceManager.h"

namespace Quarn
{

namespace platform::gfx
{
class Device;
}

// The creator of a device resource: loads the resource of a node on the device it holds, through the
// type's Load(node, resource, device).
template <class T> class DXResourceCreator
{
public:
    explicit DXResourceCreator(platform::gfx::Device* device) : m_device(device) {}

    void operator()(ResourceNode& node, SystemManager&, ResourceBase& resource) const
    {
        T::Load(node, static_cast<T&>(resource), m_device);
    }

private:
    platform::gfx::Device* m_device;
};

} // namespace Quarn
