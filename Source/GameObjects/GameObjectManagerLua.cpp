#include "GameObjects/GameObjectLua.h"
#include "GameObjects/GameObjectManager.h"
#include "Script/LuaBindable.h"
#include "Script/LuaFunction.h"
#include "Script/LuaFunctor.h"
#include "Script/LuaMethods.h"

#include <string>

namespace Quarn
{

namespace
{

GameObject* CreateGameObject(GameObjectManager& manager, const std::string& name)
{
    return manager.CreateGameObject(name);
}

void OpenBlock(GameObjectManager& manager, const std::string& name)
{
    manager.OpenBlock(name);
}

void CloseBlock(GameObjectManager& manager, const std::string& name)
{
    manager.CloseBlock(name);
}

void RemoveBlock(GameObjectManager& manager, const std::string& name)
{
    manager.RemoveBlock(name);
}

void BlockDestroyAll(GameObjectManager& manager, const std::string& name)
{
    manager.BlockDestroyAll(name);
}

void LoadBlockFromFile(GameObjectManager& manager, const std::string& block, const std::string& file)
{
    manager.LoadBlockFromFile(block, file);
}

void SaveBlockToFilePath(GameObjectManager& manager, const std::string& block, const std::string& path)
{
    manager.SaveBlockToFilePath(block, path);
}

// A handle whose object is gone saves nothing.
void SaveGameObject(GameObjectManager& manager, GameObject* object, const std::string& name)
{
    if (object)
        manager.SaveGameObject(*object, name);
}

bool SavedGameObjectExists(GameObjectManager& manager, const std::string& name)
{
    return manager.SavedGameObjectExists(name);
}

GameObject* CreateSavedGameObject(GameObjectManager& manager, const std::string& name)
{
    return manager.CreateSavedGameObject(name);
}

void TempRemoveGameObject(GameObjectManager& manager, GameObject* object, const std::string& name)
{
    if (object)
        manager.TempRemoveGameObject(object, name);
}

GameObject* UnRemoveGameObject(GameObjectManager& manager, const std::string& name)
{
    return manager.UnRemoveGameObject(name);
}

void BlockForEach(GameObjectManager& manager, const std::string& name, LuaFunction function)
{
    const LuaFunctor<void(GameObject*)> call(std::move(function));
    manager.BlockForEach(name, [&call](GameObject& object) { call(&object); });
}

void CopyFromBlockTo(GameObjectManager& manager, const std::string& from, const std::string& to)
{
    manager.CopyFromBlockTo(from, to);
}

void FrameEnd(GameObjectManager& manager)
{
    manager.FrameEnd();
}

bool BlockExists(GameObjectManager& manager, const std::string& name)
{
    return manager.BlockExists(name);
}

void RegisterManagerMethods(lua_State* state)
{
    LuaMethods<GameObjectManager>(
        state, LuaMethod<&CreateGameObject>("CreateGameObject"), LuaMethod<&OpenBlock>("OpenBlock"),
        LuaMethod<&CloseBlock>("CloseBlock"), LuaMethod<&RemoveBlock>("RemoveBlock"),
        LuaMethod<&BlockDestroyAll>("BlockDestroyAll"), LuaMethod<&LoadBlockFromFile>("LoadBlockFromFile"),
        LuaMethod<&SaveBlockToFilePath>("SaveBlockToFilePath"), LuaMethod<&SaveGameObject>("SaveGameObject"),
        LuaMethod<&SavedGameObjectExists>("SavedGameObjectExists"),
        LuaMethod<&CreateSavedGameObject>("CreateSavedGameObject"),
        LuaMethod<&TempRemoveGameObject>("TempRemoveGameObject"),
        LuaMethod<&UnRemoveGameObject>("UnRemoveGameObject"), LuaMethod<&BlockForEach>("BlockForEach"),
        LuaMethod<&CopyFromBlockTo>("CopyFromBlockTo"), LuaMethod<&FrameEnd>("FrameEnd"),
        LuaMethod<&BlockExists>("BlockExists"));
}

} // namespace

LuaBasicBind& GameObjectManager::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, GameObjectManager>(&RegisterManagerMethods);
}

} // namespace Quarn
