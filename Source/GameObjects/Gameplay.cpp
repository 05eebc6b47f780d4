#include "GameObjects/Gameplay.h"

#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Core/TimeManager.h"
#include "GameObjects/ActionListLua.h"
#include "GameObjects/ActionListManager.h"
#include "GameObjects/Camera.h"
#include "GameObjects/ComponentRegistry.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/GameObjectLua.h"
#include "GameObjects/GameObjectManager.h"
#include "GameObjects/LuaScript.h"
#include "GameObjects/Mountable.h"
#include "GameObjects/Movement.h"
#include "GameObjects/NameRegistry.h"
#include "GameObjects/Nameable.h"
#include "GameObjects/ScriptInfo.h"
#include "GameObjects/Transform.h"
#include "Resources/LuaRunner.h"
#include "Resources/ResourceManager.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaConvert.h"
#include "Script/LuaManager.h"
#include "Script/LuaMethods.h"
#include "Script/LuaTypePushers.h"
#include "platform/folders/UserFolders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
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

TimeManager* CurrentTimeManager()
{
    SystemManager* systems = SystemManager::Instance();
    return systems ? &systems->GetTimeManager() : nullptr;
}

// Sets the global name to the value on top of the stack (popped), bypassing metamethods.
void SetRawGlobal(lua_State* state, const char* name)
{
    lua_pushstring(state, name);
    lua_insert(state, -2);
    lua_rawset(state, LUA_GLOBALSINDEX);
}

void SetNumberGlobal(lua_State* state, const char* name, float value)
{
    lua_pushnumber(state, value);
    SetRawGlobal(state, name);
}

// "LookupObject"(name): an object registered under the name, or nil.
int LookupObject(lua_State* state)
{
    return LuaBoundary(state,
                       [state]() -> int
                       {
                           const char* name = lua_tostring(state, 1);
                           GameObjectManager* objects = GameObjectManager::Current();
                           GameObject* object =
                               name && objects ? objects->Resolve(NameRegistry::Lookup(name)) : nullptr;
                           LuaConverter<GameObject*>::Push(state, object);
                           return 1;
                       });
}

} // namespace

Gameplay::Gameplay()
    : m_lua(std::make_unique<LuaManager>()),
      m_actionLists(std::make_unique<ActionListManager>(CurrentTimeManager()))
{
}

Gameplay::~Gameplay()
{
    CloseScripts();
}

void Gameplay::CloseScripts()
{
    if (!m_lua)
        return;
    m_actionLists.reset();
    CloseManagedState(std::move(m_lua));
}

bool Gameplay::Serialize(Serializer&)
{
    return true;
}

void Gameplay::Init()
{
    // The systems exist from here on: timer-independent lists can reach the current timer.
    m_actionLists = std::make_unique<ActionListManager>(CurrentTimeManager());
    m_lua->CreateState();
    if (SystemManager* systems = SystemManager::Instance())
    {
        ResourceManager& resources = systems->GetResourceManager();
        resources.RegisterCreator<LuaScript>(CallCreate<LuaScript>());
        resources.AddCopiedExtension("lua");
        m_dialogs.SubscribeFileDialogWindow(systems->GetMessageManager());
        m_dialogsNeedWindowListener = false;
    }
    RegisterComponentTypes();
    // Message parameters naming game objects reach Lua listeners as the objects' handles.
    LuaTypePushers::Add(typeid(GameObject*), [](lua_State* state, const void* data)
                        { LuaConverter<GameObject*>::Push(state, *static_cast<GameObject* const*>(data)); });
}

void Gameplay::RegisterLuaMethods(lua_State* state)
{
    LuaMethods<Gameplay>(state, LuaMethod<&Gameplay::SetCurrentPlayer>("SetCurrentPlayer"),
                         LuaMethod<&Gameplay::SaveFakeScreenShot>("SaveFakeScreenShot"));
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

void Gameplay::InitResources(ResourceManager& resources)
{
    m_resources = &resources;
    if (SystemManager* systems = SystemManager::Instance())
    {
        MessageManager& messages = systems->GetMessageManager();
        messages.RegisterListener<void(Component*)>(
            "CreatedScriptInfo", [this](Component* component)
            { static_cast<ScriptInfo*>(component)->RunScripts(*m_resources, component->GetOwner()); });
        messages.RegisterListener<void(Component*)>(
            "CreatedMovement",
            [this](Component* component) { m_movements.push_back(static_cast<Movement*>(component)); });
        messages.RegisterListener<void(Component*)>("DestroyedMovement",
                                                    [this](Component* component)
                                                    {
                                                        auto found = std::find(m_movements.begin(),
                                                                               m_movements.end(), component);
                                                        if (found == m_movements.end())
                                                            return;
                                                        *found = m_movements.back();
                                                        m_movements.pop_back();
                                                    });
        messages.RegisterListener<void(Component*)>(
            "CreatedNameable",
            [](Component* component) { NameRegistry::Register(*static_cast<Nameable*>(component)); });
        messages.RegisterListener<void(Component*)>(
            "DestroyedNameable",
            [](Component* component) { NameRegistry::Unregister(*static_cast<Nameable*>(component)); });
        // A warm reset brings a new message manager: the dialogs listen for the window there again.
        if (m_dialogsNeedWindowListener)
            m_dialogs.SubscribeFileDialogWindow(messages);
        m_dialogsNeedWindowListener = false;
    }
    SetGlobals();
}

void Gameplay::SetGlobals()
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    SystemManager* systems = SystemManager::Instance();
    // Scripts send and listen through "messages" and make objects through "goManager"; a warm reset
    // brings a new message manager and a new state.
    LuaConverter<MessageManager*>::Push(state, systems ? &systems->GetMessageManager() : nullptr);
    SetRawGlobal(state, "messages");
    LuaConverter<GameObjectManager*>::Push(state, systems ? &systems->GetGameObjectManager() : nullptr);
    SetRawGlobal(state, "goManager");
    SetNumberGlobal(state, "dt", 0.0f);
    SetNumberGlobal(state, "gameTime", 0.0f);
    SetNumberGlobal(state, "appTime", 0.0f);
    lua_pushcfunction(state, &LookupObject);
    SetRawGlobal(state, "LookupObject");
    LuaConverter<ActionListManager*>::Push(state, m_actionLists.get());
    SetRawGlobal(state, "actionLists");
    LuaConverter<OpenSaveDialogManager*>::Push(state, &m_dialogs);
    SetRawGlobal(state, "openSave");
    lua_pushboolean(state, 1);
    SetRawGlobal(state, "g_fullRelease");
}

void Gameplay::Update(float dt)
{
    if (lua_State* state = CurrentLuaState())
    {
        float gameTime = 0.0f;
        float appTime = 0.0f;
        if (TimeManager* time = CurrentTimeManager())
        {
            gameTime = static_cast<float>(time->GetGameTimer()->GetTotalTime());
            appTime = static_cast<float>(time->GetAppTimer()->GetTotalTime());
        }
        SetNumberGlobal(state, "dt", dt);
        SetNumberGlobal(state, "gameTime", gameTime);
        SetNumberGlobal(state, "appTime", appTime);
    }
    RunFrameScript();
    // By index: a step may add or remove Movements.
    for (std::size_t i = 0; i < m_movements.size(); ++i)
        m_movements[i]->Update(dt);
    m_actionLists->Update(dt);
    CullFarObjects();
}

void Gameplay::RunFrameScript()
{
    const char* name = m_frameScript == 0 ? "FirstFrame" : m_frameScript == 1 ? "LuaInit" : nullptr;
    if (!name || !m_resources)
        return;
    lua_State* state = CurrentLuaState();
    const int top = state ? lua_gettop(state) : 0;
    LuaRunner::RunFile(name, *m_resources);
    if (state)
        lua_settop(state, top);
    ++m_frameScript;
}

void Gameplay::CullFarObjects()
{
    GameObjectManager* objects = GameObjectManager::Current();
    GameObject* player = objects ? objects->Resolve(m_player) : nullptr;
    const Transform* playerTransform = player ? player->Get<Transform>() : nullptr;
    if (!playerTransform)
        return;
    const float px = playerTransform->Position.x;
    const float py = playerTransform->Position.y;
    for (std::size_t i = 0; i < objects->SlotCount(); ++i)
    {
        GameObject* object = objects->ObjectInSlot(i);
        if (!object || object == player || !object->IsLive())
            continue;
        const Transform* transform = object->Get<Transform>();
        if (!transform)
            continue;
        // Comparisons with NaN are false, so an object at a NaN offset stays.
        const float dx = transform->Position.x - px;
        const float dy = transform->Position.y - py;
        if (dx > kCullDistance || dx < -kCullDistance || dy > kCullDistance || dy < -kCullDistance)
            objects->Destroy(object->GetHandle());
    }
}

void Gameplay::SetCurrentPlayer(GameObject* player)
{
    m_player = player ? player->GetHandle() : GameObjectHandle{};
}

GameObject* Gameplay::GetCurrentPlayer() const
{
    GameObjectManager* objects = GameObjectManager::Current();
    return objects ? objects->Resolve(m_player) : nullptr;
}

void Gameplay::SaveFakeScreenShot()
{
    const std::filesystem::path folder = platform::PicturesFolder();
    if (folder.empty())
    {
        QUARN_ASSERT_FAILED_AS("!success", "Couldn't get my pictures... PANIC!");
        return;
    }
    std::error_code error;
    std::filesystem::copy_file("./Resources/tavu.png", folder / "tavu.png",
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        OutputHandler::Get().Log("SaveFakeScreenShot: could not copy ./Resources/tavu.png into %s: %s",
                                 folder.c_str(), error.message().c_str());
}

void Gameplay::WarmReset()
{
    // The old lists hold functions of the old state: they go while it is still open.
    m_actionLists = std::make_unique<ActionListManager>(CurrentTimeManager());
    CloseManagedState(std::exchange(m_lua, std::make_unique<LuaManager>()));
    m_lua->CreateState();
    m_frameScript = 0;
    // Ids start again at 1 after a reset: the old player's handle could name a new object.
    m_player = {};
    m_dialogsNeedWindowListener = true;
    if (SystemManager* systems = SystemManager::Instance())
        systems->GetResourceManager().UnregisterCreator(ResourceTypeName<LuaScript>());
}

} // namespace Quarn
