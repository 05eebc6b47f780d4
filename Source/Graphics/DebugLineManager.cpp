#include "Graphics/DebugLineManager.h"

namespace Quarn
{

namespace
{
DebugLineManager* g_current = nullptr;
}

DebugLineManager::DebugLineManager()
{
    g_current = this;
}

DebugLineManager::~DebugLineManager()
{
    if (g_current == this)
        g_current = nullptr;
}

DebugLineManager* DebugLineManager::Current()
{
    return g_current;
}

void DebugLineManager::Init(MessageManager&) {}

void DebugLineManager::Upload(platform::gfx::Device*) {}

} // namespace Quarn
