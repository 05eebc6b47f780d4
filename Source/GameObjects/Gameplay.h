#pragma once

#include "Core/SystemT.h"
#include "GameObjects/GameObjectHandle.h"
#include "Resources/OpenSaveDialogManager.h"

#include <memory>
#include <vector>

namespace Quarn
{

class ActionListManager;
class Component;
class GameObject;
class LuaManager;
class Movement;

// Hosts the game logic: owns the Lua state, the action lists and the scripts' file dialogs, runs the
// frame scripts "FirstFrame" and "LuaInit" in the first two frames after every start, steps steering
// and action lists each frame, runs the scripts of new objects, keeps the name registry, and destroys
// objects that stray too far from the current player.
class Gameplay : public SystemT<Gameplay>
{
public:
    // Objects farther than this from the player on either axis are destroyed.
    static constexpr float kCullDistance = 85000.0f;

    Gameplay();
    // Closes the Lua state this system created.
    ~Gameplay() override;

    bool Serialize(Serializer& serializer) override;
    const char* GetName() const override { return "Gameplay"; }
    void Update(float dt) override;
    void Init() override;
    // Registers the component types this system owns, in their fixed order.
    static void RegisterComponentTypes();
    // Listeners and Lua globals, again after every warm reset.
    void InitResources(ResourceManager& resources) override;
    // Replaces the Lua state and the action lists with new ones; the frame scripts run again.
    void WarmReset() override;
    // Closes the Lua state for good, running the finalizers scripts left in it. Main calls it while
    // every system those finalizers may reach still exists; the destructor closes it otherwise.
    void CloseScripts();

    // "SetCurrentPlayer" and "SaveFakeScreenShot".
    static void RegisterLuaMethods(lua_State* state);

    // The object the far-object cull measures from; null (or an object that no longer exists) clears it.
    void SetCurrentPlayer(GameObject* player);
    GameObject* GetCurrentPlayer() const;
    // Copies "./Resources/tavu.png" into the user's pictures folder as "tavu.png".
    void SaveFakeScreenShot();

    ActionListManager& GetActionLists() { return *m_actionLists; }
    OpenSaveDialogManager& GetDialogs() { return m_dialogs; }
    const std::vector<Movement*>& GetMovements() const { return m_movements; }

private:
    void RunFrameScript();
    void CullFarObjects();
    void SetGlobals();

    std::unique_ptr<LuaManager> m_lua;
    std::unique_ptr<ActionListManager> m_actionLists;
    OpenSaveDialogManager m_dialogs;
    std::vector<Movement*> m_movements;
    // Held as a handle, so a destroyed player simply stops the cull.
    GameObjectHandle m_player;
    // 0 before "FirstFrame", 1 before "LuaInit", 2 when both have run.
    int m_frameScript = 0;
    ResourceManager* m_resources = nullptr;
    // The dialogs learn the window from "WindowCreated", which is sent during start-up.
    bool m_dialogsNeedWindowListener = true;
};

} // namespace Quarn
