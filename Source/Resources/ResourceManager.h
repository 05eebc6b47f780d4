#pragma once

namespace Quarn
{

// The engine's resources, found by name and extension; systems receive it in InitResources.
class ResourceManager
{
};

} // namespace Quarn
