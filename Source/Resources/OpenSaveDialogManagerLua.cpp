#include "Resources/OpenSaveDialogManager.h"
#include "Script/LuaBindable.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{
void RegisterFileDialogs(lua_State* state)
{
    LuaMethods<OpenSaveDialogManager>(state, &OpenSaveDialogManager::MakeOpenDialog, "MakeOpenDialog",
                                      &OpenSaveDialogManager::MakeSaveDialog, "MakeSaveDialog");
}
} // namespace

LuaBasicBind& OpenSaveDialogManager::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, OpenSaveDialogManager>(&RegisterFileDialogs);
}

} // namespace Quarn
