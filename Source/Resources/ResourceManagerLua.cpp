#include "Resources/ResourceManager.h"
#include "Script/LuaBindable.h"
#include "Script/LuaFunctor.h"
#include "Script/LuaMethods.h"

namespace Quarn
{

namespace
{

// Calls function with the path, minus its extension, of every working-root file of the extension that
// is not hidden by a shorter name with a file of the same extension.
void ForEachExtension(ResourceManager& resources, const std::string& extension, LuaFunction function)
{
    const LuaFunctor<void(std::string)> call(std::move(function));
    resources.Root().ForEachWithExtension(extension,
                                          [&](const std::string& path)
                                          {
                                              const auto dot = path.rfind('.');
                                              call(dot == std::string::npos ? path : path.substr(0, dot));
                                          });
}

void RegisterResourceManagerMethods(lua_State* state)
{
    LuaMethods<ResourceManager>(state, LuaMethod<&ForEachExtension>("ForEachExtension"),
                                LuaMethod<&ResourceManager::AddPreloadRequest>("AddPreloadRequest"));
}

} // namespace

LuaBasicBind& ResourceManager::GetLuaBind()
{
    return LuaClassBinding<LuaBasicBind, ResourceManager>(&RegisterResourceManagerMethods);
}

} // namespace Quarn
