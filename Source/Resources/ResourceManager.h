#pragma once

#include "Resources/PreloadManager.h"

namespace Quarn
{

// The engine's resources, found by name and extension; systems receive it in InitResources.
class ResourceManager
{
public:
    // Files read ahead of need; the frame loop pumps it once per frame.
    PreloadManager& GetPreloadManager() { return m_preloadManager; }

private:
    PreloadManager m_preloadManager;
};

} // namespace Quarn
