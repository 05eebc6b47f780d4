#pragma once

#include <functional>
#include <memory>
#include <string>

namespace Quarn
{

class GameObjectManager;
class MessageManager;
class ParamArena;
class ResourceManager;
class System;
class SystemManagerImpl;
class TimeManager;

// Owns the systems by name, their update and init orders and the shared services, and runs the
// frame loop. One exists at a time; while it does, every subsystem reaches the engine through
// Instance(), and every report sends "StopRumble".
class SystemManager
{
public:
    SystemManager();
    ~SystemManager();
    SystemManager(const SystemManager&) = delete;
    SystemManager& operator=(const SystemManager&) = delete;

    // The manager that exists now, or null.
    static SystemManager* Instance();

    // Loads the system's settings, then appends it to the update and init orders under name.
    void AddSystem(const std::string& name, System* system);
    // Moves a registered system to the second place of the init order.
    void PrioritizeInit(System* system);
    // The slot of name: null for a name never added.
    System*& GetSystem(const std::string& name);

    // Last frame's Update times in milliseconds, indexed like the update order (0 without file
    // logging). An index past the systems reads 0 and an empty name.
    float TotalSystemRunTime() const;
    bool HasSystemRunTime(unsigned index) const;
    int NumSystemRunTimes() const;
    float GetSystemRunTime(unsigned index) const;
    std::string GetSystemName(unsigned index) const;

    // Runs start-up and frames until "Quit", then sends "AppEnd".
    void Run();
    // Sends "Quit" at the end of the given frame (0: never), counting frames across restarts.
    void SetFrameLimit(unsigned frames);
    // Frames run so far, those cut short by a restart included.
    unsigned FrameCount() const;

    // A service that lives for the whole process and has registered its listeners gives how to
    // register them again: the fresh message manager of every warm reset gets them.
    void AddProcessListeners(std::function<void(MessageManager&)> registrar);

    bool IsPaused() const;
    MessageManager& GetMessageManager();
    TimeManager& GetTimeManager();
    ResourceManager& GetResourceManager();
    GameObjectManager& GetGameObjectManager();
    ParamArena& GetParamArena();

private:
    std::unique_ptr<SystemManagerImpl> m_impl;
};

} // namespace Quarn
