#pragma once

#include "Core/MessageManager.h"
#include "Core/ParamArena.h"
#include "Core/TimeManager.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace Quarn
{

class GameObjectManager;
class ResourceManager;
class System;
class SystemManager;

// The state behind SystemManager and its frame loop. The time and message managers are replaced in
// place by a warm reset, so references to them stay valid.
class SystemManagerImpl
{
public:
    explicit SystemManagerImpl(SystemManager& owner);
    ~SystemManagerImpl();
    SystemManagerImpl(const SystemManagerImpl&) = delete;
    SystemManagerImpl& operator=(const SystemManagerImpl&) = delete;

    void AddSystem(const std::string& name, System* system);
    void PrioritizeInit(System* system);
    System*& GetSystem(const std::string& name) { return m_systemNames[name]; }

    const std::vector<float>& RunTimes() const { return m_runTimes; }
    const std::vector<System*>& UpdateList() const { return m_updateList; }

    void Run();
    void SetFrameLimit(unsigned frames) { m_frameLimit = frames; }
    unsigned FrameCount() const { return m_frames; }

    bool IsPaused() const { return m_paused; }
    MessageManager& Messages() { return *m_messages; }
    void AddProcessListeners(std::function<void(MessageManager&)> registrar);
    TimeManager& Time() { return *m_time; }
    ResourceManager& Resources() { return *m_resources; }
    GameObjectManager& GameObjects() { return *m_gameObjects; }
    ParamArena& Arena() { return m_arena; }

private:
    void InitPhase();
    void ResourcePhase();
    void Frame();
    // Counts a frame, finished or cut short by a restart, and quits at the frame limit.
    void CountFrame();
    void WarmReset();

    // Listeners that live as long as the process: registered at start and again on every fresh
    // message manager.
    void RegisterProcessListeners();
    void OnPause();
    void OnUnpause();
    void OnQuit();
    void OnTogglePause();

    // Collects finished preloads and starts queued ones, right after the timer tick.
    void UpdatePreloads();

    // Work of services that join the loop later; each does nothing yet.
    void PublishToLua(const std::string& globalName, System* system);

    bool m_running = true;
    bool m_paused = false;
    std::optional<TimeManager> m_time;
    std::unique_ptr<ResourceManager> m_resources;
    std::optional<MessageManager> m_messages;
    std::vector<std::function<void(MessageManager&)>> m_processRegistrars;
    // Holds a reference to the message manager, whose warm-reset replacement is made in place.
    std::unique_ptr<GameObjectManager> m_gameObjects;
    ParamArena m_arena;
    std::unordered_map<std::string, System*> m_systemNames;
    std::vector<System*> m_updateList;
    std::vector<System*> m_initList;
    std::vector<float> m_runTimes;
    unsigned m_frameLimit = 0;
    unsigned m_frames = 0;
};

} // namespace Quarn
