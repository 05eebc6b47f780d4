#include "Resources/OpenSaveDialogManager.h"
#include "Script/LuaBindable.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{
void RegisterFileDialogs(lua_State* state)
{
    LuaMethods<OpenSaveDialogManager>(state,
                                      LuaMethod<&OpenSaveDialogManager::MakeOpenDialog>("MakeOpenDialog"),
                                      LuaMethod<&OpenSaveDialogManager::MakeSaveDialog>("MakeSaveDialog"));
}
} // namespace

LuaBasicBind& OpenSaveDialogManager::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, OpenSaveDialogManager>(&RegisterFileDialogs);
}

} // namespace Quarn
