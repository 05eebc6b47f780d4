#include "GameObjects/Gameplay.h"

#include "Core/MessageManager.h"
#include "Core/SystemManager.h"
#include "GameObjects/Camera.h"
#include "GameObjects/ComponentRegistry.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/Mountable.h"
#include "GameObjects/Movement.h"
#include "GameObjects/Nameable.h"
#include "GameObjects/ScriptInfo.h"
#include "GameObjects/Transform.h"
#include "Script/LuaConvert.h"
#include "Script/LuaManager.h"
#include "Script/LuaRef.h"

#include <utility>

namespace Quarn
{

namespace
{

// Closes the state the manager created, unless it is no longer the current one (then whoever
// replaced it owns it). The manager is destroyed first: its objects leave the state while it is open.
void CloseManagedState(std::unique_ptr<LuaManager> manager)
{
    lua_State* state = manager->GetState();
    manager.reset();
    if (state && state == CurrentLuaState())
        CloseLuaState(state);
}

} // namespace

Gameplay::Gameplay() : m_lua(std::make_unique<LuaManager>()) {}

Gameplay::~Gameplay()
{
    CloseManagedState(std::move(m_lua));
}

bool Gameplay::Serialize(Serializer&)
{
    return true;
}

void Gameplay::Update(float) {}

void Gameplay::Init()
{
    RegisterComponentTypes();
    m_lua->CreateState();
    if (SystemManager* systems = SystemManager::Instance())
        m_dialogs.SubscribeFileDialogWindow(systems->GetMessageManager());
}

void Gameplay::RegisterComponentTypes()
{
    ComponentRegistry& registry = GetComponentRegistry();
    registry.Register<Transform>();
    registry.Register<ScriptInfo>();
    registry.Register<Camera>();
    registry.Register<Mountable>();
    registry.Register<Movement>();
    registry.Register<Nameable>();
}

void Gameplay::InitResources(ResourceManager&)
{
    // Scripts send and listen through the global "messages" and make objects through "goManager"; a
    // warm reset brings a new message manager and a new state.
    lua_State* state = m_lua->GetState();
    if (!state)
        return;
    SystemManager* systems = SystemManager::Instance();
    LuaRef globals;
    globals.SetGlobals();
    LuaConverter<MessageManager*>::Push(state, systems ? &systems->GetMessageManager() : nullptr);
    globals.SetField("messages");
    LuaConverter<GameObjectManager*>::Push(state, systems ? &systems->GetGameObjectManager() : nullptr);
    globals.SetField("goManager");
    LuaConverter<OpenSaveDialogManager*>::Push(state, &m_dialogs);
    globals.SetField("openSave");
}

void Gameplay::WarmReset()
{
    CloseManagedState(std::exchange(m_lua, std::make_unique<LuaManager>()));
    m_lua->CreateState();
}

} // namespace Quarn
