#include "Core/SystemManagerImpl.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Core/System.h"
#include "GameObjects/GameObjectManager.h"
#include "Resources/ResourceManager.h"

#include <algorithm>
#include <cctype>

namespace Quarn
{

SystemManagerImpl::SystemManagerImpl(SystemManager& owner)
    : m_resources(std::make_unique<ResourceManager>(owner))
{
    // Settings and other data files: XML files are copied to the working root, and binary files made
    // from them are found there.
    m_resources->AddCopiedExtension("xml");
    m_resources->AddDerivedExtension("xml", "bin");
    m_time.emplace();
    m_messages.emplace(m_arena);
    m_gameObjects = std::make_unique<GameObjectManager>(*m_messages, *m_resources);
}

SystemManagerImpl::~SystemManagerImpl() = default;

void SystemManagerImpl::AddSystem(const std::string& name, System* system)
{
    QUARN_ASSERT(system, "System \"%s\" is null and is not added", name.c_str());
    if (!system)
        return;
    // The settings resource is named after the system, and so is its group inside the file.
    m_resources->LoadObject(name, *system, name, "bin", "xml");
    m_systemNames[name] = system;
    m_updateList.push_back(system);
    m_initList.push_back(system);
}

void SystemManagerImpl::PrioritizeInit(System* system)
{
    auto found = std::find(m_initList.begin(), m_initList.end(), system);
    QUARN_ASSERT(found != m_initList.end(), "Only an added system can be prioritized");
    if (found == m_initList.end())
        return;
    m_initList.erase(found);
    m_initList.insert(m_initList.begin() + std::min<std::ptrdiff_t>(1, std::ssize(m_initList)), system);
}

void SystemManagerImpl::Run()
{
    OutputHandler& output = OutputHandler::Get();
    output.Log("Quarn::SystemManagerImpl::Run");
    output.StartTimer("Initialization");
    RegisterProcessListeners();
    output.Log("Quarn::SystemManagerImpl::Run");
    InitPhase();
    m_runTimes.resize(m_updateList.size(), 0.0f);
    while (m_running)
    {
        try
        {
            ResourcePhase();
            output.EndTimer("Initialization");
            while (m_running)
                Frame();
        }
        catch (const RestartGameException&)
        {
            WarmReset();
            // The frame cut short counts, so a game that fails in every first frame still ends.
            CountFrame();
        }
    }
    m_messages->SendMessage("AppEnd");
}

void SystemManagerImpl::InitPhase()
{
    OutputHandler& output = OutputHandler::Get();
    for (System* system : m_initList)
    {
        const std::string name = system->GetName();
        output.Log("Init: %s", name.c_str());
        output.StartTimer(name);
        system->Init();
        output.EndTimer(name);
        output.Log("done Init: %s", name.c_str());
    }
}

void SystemManagerImpl::ResourcePhase()
{
    OutputHandler& output = OutputHandler::Get();
    for (System* system : m_initList)
    {
        const std::string name = system->GetName();
        output.Log("Init resources for: %s.", name.c_str());
        std::string globalName = name;
        if (!globalName.empty())
            globalName[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(globalName[0])));
        PublishToLua(globalName, system);
        output.StartTimer(name);
        system->InitResources(*m_resources);
        output.EndTimer(name);
        output.Log("Init resources for: %s Done. ", name.c_str());
    }
}

void SystemManagerImpl::Frame()
{
    OutputHandler& output = OutputHandler::Get();
    m_time->Tick();
    UpdatePreloads();
    // Zero unless the game timer is current: the game stands still while paused or in a menu.
    const float dt = m_time->GetGameTimer()->GetDT();
    for (std::size_t i = 0; i < m_updateList.size() && m_running; ++i)
    {
        System* system = m_updateList[i];
        const std::string name = system->GetName();
        output.Log("System updating: %s", name.c_str());
        output.StartTimer(name);
        system->Update(dt);
        m_runTimes[i] = output.EndTimer(name);
    }
    m_gameObjects->FrameEnd();
    CountFrame();
}

void SystemManagerImpl::CountFrame()
{
    ++m_frames;
    if (m_frameLimit != 0 && m_frames >= m_frameLimit)
        m_messages->SendMessage("Quit");
}

void SystemManagerImpl::WarmReset()
{
    OutputHandler::Get().ResetLuaCallDepth();
    m_gameObjects->Reset();
    m_time.emplace();
    // The fresh time manager runs the game timer, so the game is no longer paused.
    m_paused = false;
    m_messages.emplace(m_arena);
    RegisterProcessListeners();
    for (const auto& registrar : m_processRegistrars)
        registrar(*m_messages);
    for (System* system : m_initList)
        system->WarmReset();
}

void SystemManagerImpl::RegisterProcessListeners()
{
    MessageManager& messages = *m_messages;
    messages.RegisterListener<void()>("Pause", [this] { OnPause(); });
    messages.RegisterListener<void()>("Unpause", [this] { OnUnpause(); });
    messages.RegisterListener<void()>("Quit", [this] { OnQuit(); });
    messages.RegisterListener<void()>("TogglePause", [this] { OnTogglePause(); });
}

void SystemManagerImpl::AddProcessListeners(std::function<void(MessageManager&)> registrar)
{
    m_processRegistrars.push_back(std::move(registrar));
}

void SystemManagerImpl::OnPause()
{
    if (m_paused)
        return;
    m_paused = true;
    m_time->SetPause();
}

void SystemManagerImpl::OnUnpause()
{
    if (!m_paused)
        return;
    m_paused = false;
    m_time->SetGame();
}

void SystemManagerImpl::OnQuit()
{
    m_running = false;
}

void SystemManagerImpl::OnTogglePause()
{
    m_messages->SendMessage(m_paused ? "Unpause" : "Pause");
}

void SystemManagerImpl::PublishToLua(const std::string& globalName, System* system)
{
    LuaPublishGlobal(globalName.c_str(), system);
}

void SystemManagerImpl::UpdatePreloads()
{
    m_resources->GetPreloadManager().Update();
}

} // namespace Quarn
