#include "Core/SystemManager.h"

#include "Core/OutputHandler.h"
#include "Core/System.h"
#include "Core/SystemManagerImpl.h"

namespace Quarn
{

namespace
{
SystemManager* g_instance = nullptr;

// Pads stop vibrating while a report is up. A report raised by a "StopRumble" listener does not
// send it again.
void SendStopRumble()
{
    static bool sending = false;
    if (sending || !g_instance)
        return;
    struct Guard
    {
        Guard() { sending = true; }
        ~Guard() { sending = false; }
    } guard;
    g_instance->GetMessageManager().SendMessage("StopRumble");
}
} // namespace

SystemManager::SystemManager() : m_impl(std::make_unique<SystemManagerImpl>(*this))
{
    g_instance = this;
    OutputHandler::SetReportHook(&SendStopRumble);
}

SystemManager::~SystemManager()
{
    OutputHandler::SetReportHook(nullptr);
    if (g_instance == this)
        g_instance = nullptr;
}

SystemManager* SystemManager::Instance()
{
    return g_instance;
}

void SystemManager::AddSystem(const std::string& name, System* system)
{
    m_impl->AddSystem(name, system);
}

void SystemManager::PrioritizeInit(System* system)
{
    m_impl->PrioritizeInit(system);
}

System*& SystemManager::GetSystem(const std::string& name)
{
    return m_impl->GetSystem(name);
}

float SystemManager::TotalSystemRunTime() const
{
    float total = 0.0f;
    for (float ms : m_impl->RunTimes())
        total += ms;
    return total;
}

bool SystemManager::HasSystemRunTime(unsigned index) const
{
    return index < m_impl->RunTimes().size();
}

int SystemManager::NumSystemRunTimes() const
{
    return static_cast<int>(m_impl->RunTimes().size());
}

float SystemManager::GetSystemRunTime(unsigned index) const
{
    return HasSystemRunTime(index) ? m_impl->RunTimes()[index] : 0.0f;
}

std::string SystemManager::GetSystemName(unsigned index) const
{
    const auto& systems = m_impl->UpdateList();
    return index < systems.size() ? systems[index]->GetName() : std::string();
}

void SystemManager::Run()
{
    m_impl->Run();
}

void SystemManager::SetFrameLimit(unsigned frames)
{
    m_impl->SetFrameLimit(frames);
}

unsigned SystemManager::FrameCount() const
{
    return m_impl->FrameCount();
}

bool SystemManager::IsPaused() const
{
    return m_impl->IsPaused();
}

void SystemManager::AddProcessListeners(std::function<void(MessageManager&)> registrar)
{
    m_impl->AddProcessListeners(std::move(registrar));
}

MessageManager& SystemManager::GetMessageManager()
{
    return m_impl->Messages();
}

TimeManager& SystemManager::GetTimeManager()
{
    return m_impl->Time();
}

ResourceManager& SystemManager::GetResourceManager()
{
    return m_impl->Resources();
}

GameObjectManager& SystemManager::GetGameObjectManager()
{
    return m_impl->GameObjects();
}

ParamArena& SystemManager::GetParamArena()
{
    return m_impl->Arena();
}

} // namespace Quarn
